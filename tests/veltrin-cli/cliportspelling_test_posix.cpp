// --port and probe take a port as Linux spells it, /dev/ttyACM0, and count two spellings of
// one port as one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "args/cliarguments.h"

namespace veltrin {
namespace {

TEST(CliPortSpellingTest, DevicePathsNameTheirPortOnce) {
    const struct {
        std::vector<std::string> Args;
        std::vector<std::string> Ports;  // empty: refused as a port given twice
    } cases[] = {
        {{"update", "--port", "/dev/ttyACM0", "--yes"}, {"ttyACM0"}},
        {{"update", "--port=/dev/pts/3", "--port", "ttyUSB1", "-y"}, {"pts/3", "ttyUSB1"}},
        {{"probe", "/dev/ttyACM0", "ttyS0"}, {"ttyACM0", "ttyS0"}},
        {{"update", "--port", "/dev/ttyACM0", "--port", "ttyACM0", "-y"}, {}},
        {{"update", "--port", "ttyACM0", "/dev/ttyACM0"}, {}},
        {{"probe", "pts/3", " /dev/pts/3"}, {"pts/3", "pts/3"}},  // asked once, shown twice
    };
    for (const auto& c : cases) {
        CliArguments parsed;
        std::string error;
        const bool ok = ParseCliArguments(c.Args, parsed, error);
        EXPECT_EQ(ok, !c.Ports.empty()) << c.Args[2] << error;
        if (ok) {
            EXPECT_EQ(parsed.Ports, c.Ports) << c.Args[2];
        } else {
            EXPECT_NE(error.find("port given twice"), std::string::npos) << error;
        }
    }
}

}  // namespace
}  // namespace veltrin
