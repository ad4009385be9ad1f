// Port names as Windows users type them: COM12, or the device namespace \\.\COM12.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "transport/portname.h"

namespace veltrin {

std::string FullPortSpelling(const std::string& port) {
    std::string lower = port;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "\\\\.\\" + lower;
}

namespace {

TEST(PortNameTest, FullSpellingsNameTheBarePortAndShareItsIdentity) {
    const struct {
        const char* Spelling;
        const char* Bare;
        const char* Identity;
    } cases[] = {
        {"COM12", "COM12", "COM12"},
        {"\\\\.\\COM12", "COM12", "COM12"},
        {" \\\\.\\com12 ", "com12", "COM12"},
        {"\\\\?\\COM3", "COM3", "COM3"},
        {"\\\\.COM3", "\\\\.COM3", "\\\\.COM3"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BarePortName(c.Spelling), c.Bare) << c.Spelling;
        EXPECT_EQ(PortIdentity(c.Spelling), c.Identity) << c.Spelling;
    }
}

}  // namespace
}  // namespace veltrin
