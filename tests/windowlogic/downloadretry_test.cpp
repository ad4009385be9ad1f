// When the window fetches the update data again.
#include <gtest/gtest.h>

#include "windowlogic/downloadretry.h"

namespace veltrin {
namespace {

TEST(DownloadRetryTest, OnlyWhileAFirmwareFileIsMissing) {
    const std::string hex = ":00000001FF\n";
    const struct {
        const char* hexQuorvan;
        const char* hexTarnovelle;
        bool wanted;
    } cases[] = {
        {"", "", true},
        {hex.c_str(), "", true},
        {"", hex.c_str(), true},
        {" \r\n\t", hex.c_str(), true},  // blank counts as missing
        // Both files at hand: no retry, whether or not either passed its check.
        {hex.c_str(), hex.c_str(), false},
        {"not a hex file", "<html>", false},
    };
    for (const auto& c : cases) {
        TSMainParams params;
        params.HexQuorvanOtg = c.hexQuorvan;
        params.HexTarnovelleK7 = c.hexTarnovelle;
        EXPECT_EQ(DownloadRetryWanted(params), c.wanted)
            << '"' << c.hexQuorvan << "\" \"" << c.hexTarnovelle << '"';
    }
}

}  // namespace
}  // namespace veltrin
