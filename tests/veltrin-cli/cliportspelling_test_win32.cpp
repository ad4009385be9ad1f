// --port and probe take a port as Windows spells it in full, \\.\COM12, and count two
// spellings of one port as one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "args/cliarguments.h"

namespace veltrin {
namespace {

TEST(CliPortSpellingTest, DeviceNamespaceNamesTheirPortOnce) {
    const struct {
        std::vector<std::string> Args;
        std::vector<std::string> Ports;  // empty: refused as a port given twice
    } cases[] = {
        {{"update", "--port", "\\\\.\\COM12", "--yes"}, {"COM12"}},
        {{"update", "--port=\\\\.\\COM3", "--port", "COM4", "-y"}, {"COM3", "COM4"}},
        {{"probe", "\\\\.\\COM12", "COM1"}, {"COM12", "COM1"}},
        {{"update", "--port", "\\\\.\\COM12", "--port", "com12", "-y"}, {}},
        {{"probe", "COM5", "\\\\?\\COM5"}, {"COM5", "COM5"}},
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
