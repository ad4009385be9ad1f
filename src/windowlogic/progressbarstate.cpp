#include "windowlogic/progressbarstate.h"

#include <algorithm>

namespace veltrin {

void ProgressBarState::SetMaximum(std::int32_t maximum) {
    Maximum = std::max<std::int32_t>(maximum, 0);
    SetPosition(Position);
}

void ProgressBarState::SetPosition(std::int64_t position) {
    Position = static_cast<int>(std::clamp<std::int64_t>(position, 0, Maximum));
}

}  // namespace veltrin
