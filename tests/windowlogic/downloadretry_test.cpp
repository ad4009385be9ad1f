// The wait between download attempts while no firmware is usable.
#include <gtest/gtest.h>

#include <climits>

#include "windowlogic/downloadretry.h"

namespace veltrin {
namespace {

TEST(DownloadRetryIntervalTest, DoublesFromOneSecondUpToAMinute) {
    const struct {
        int UnusableDownloads;
        int Milliseconds;
    } cases[] = {{-1, 1000}, {0, 1000}, {1, 1000}, {2, 2000},     {3, 4000},
                 {6, 32000}, {7, 60000}, {8, 60000}, {64, 60000}, {INT_MAX, 60000}};
    for (const auto& c : cases)
        EXPECT_EQ(DownloadRetryInterval(c.UnusableDownloads), c.Milliseconds) << c.UnusableDownloads;
}

}  // namespace
}  // namespace veltrin
