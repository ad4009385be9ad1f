#include "windowlogic/downloadretry.h"

namespace veltrin {
namespace {
constexpr int kFirstRetryMs = 1000;
constexpr int kLongestRetryMs = 60000;
}  // namespace

int DownloadRetryInterval(int unusableDownloads) {
    int interval = kFirstRetryMs;
    // Doubling stops at the cap, so no count can overflow it.
    for (int n = 1; n < unusableDownloads && interval < kLongestRetryMs; ++n)
        interval *= 2;
    return interval < kLongestRetryMs ? interval : kLongestRetryMs;
}

}  // namespace veltrin
