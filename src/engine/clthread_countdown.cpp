#include <string>

#include "engine/devicerestart.h"

#include "engine/clthreadimpl.h"
#include "engine/countdowntext.h"

namespace veltrin {

void ClTreadImpl::WaitWithCountdown(std::uint16_t seconds) {
    SetActionPosition(0);
    SetActionMax(seconds);
    std::uint16_t remaining = seconds;
    while (remaining != 0 && !Terminated()) {
        ShowAction(CountdownText(remaining));
        SetActionPosition(seconds - remaining);
        Sleep(1000);
        --remaining;
    }
}

}  // namespace veltrin
