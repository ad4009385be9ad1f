// The port list from a sysfs tty tree, and the order its names come in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "transport/naturalorder.h"
#include "transport/serialportlist_posix.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;

TEST(NaturalOrderTest, Pairs) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    for (const Case& k : {Case{"ttyACM2", "ttyACM10", true}, Case{"ttyACM10", "ttyACM2", false},
                          Case{"ttyACM0", "ttyUSB0", true}, Case{"ttyS1", "ttyS1", false},
                          Case{"ttyS", "ttyS0", true}, Case{"ttyS01", "ttyS1", true},
                          Case{"ttyS1", "ttyS01", false},
                          Case{"a99999999999999999999", "a100000000000000000000", true},
                          Case{"rfcomm0", "ttyACM0", true}, Case{"", "a", true}}) {
        EXPECT_EQ(NaturalLess(k.a, k.b), k.less) << k.a << " < " << k.b;
    }
}

// A tty class directory the way sysfs lays it out, in a scratch folder.
class SysfsTree {
public:
    SysfsTree() : root_(fs::temp_directory_path() / ("veltrin-tty-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "drivers" / "serial8250");
        fs::create_directories(root_ / "drivers" / "cdc_acm");
    }
    ~SysfsTree() { fs::remove_all(root_); }

    // A tty; with a device link to a driver when driver is not empty, with a type attribute
    // when type is not empty.
    void Add(const std::string& name, const std::string& driver, const std::string& type) {
        const fs::path tty = root_ / "class" / name;
        fs::create_directories(tty);
        if (!driver.empty()) {
            fs::create_directories(tty / "device");
            fs::create_directory_symlink(root_ / "drivers" / driver, tty / "device" / "driver");
        }
        if (!type.empty())
            std::ofstream(tty / "type") << type << "\n";
    }
    std::string ClassDirectory() const { return (root_ / "class").string(); }

private:
    fs::path root_;
};

TEST(SerialPortListTest, HardwarePortsInNaturalOrder) {
    SysfsTree tree;
    tree.Add("ttyACM10", "cdc_acm", "");
    tree.Add("ttyACM2", "cdc_acm", "");
    tree.Add("ttyUSB0", "cdc_acm", "");
    tree.Add("ttyS0", "serial8250", "4");    // a fitted 16550A
    tree.Add("ttyS1", "serial8250", "0");    // empty legacy slot
    tree.Add("ttyS2", "serial8250", "");     // legacy slot that tells nothing
    tree.Add("ttyAMA0", "amba-pl011", "0");  // serial core, no UART found
    tree.Add("tty0", "", "");                // virtual console
    tree.Add("ptmx", "", "");
    EXPECT_EQ(ListSerialPortsUnder(tree.ClassDirectory()),
              (std::vector<std::string>{"ttyACM2", "ttyACM10", "ttyS0", "ttyUSB0"}));
}

TEST(SerialPortListTest, MissingDirectoryGivesAnEmptyList) {
    EXPECT_TRUE(ListSerialPortsUnder("/nonexistent/class/tty").empty());
}

}  // namespace
}  // namespace veltrin
