#include "framereceiver.h"

#include "simframe.h"

namespace veltrin {

bool SimFrameReceiver::Feed(std::uint8_t byte) {
    if (byte == kSimStx) {
        if (!inFrame_ || !text_.empty() || overflowed_) {
            text_.clear();
            overflowed_ = false;
        }
        inFrame_ = true;
        return false;
    }
    if (!inFrame_)
        return false;
    if (byte == kSimEtx) {
        inFrame_ = false;
        return true;
    }
    if (text_.size() < kSimMaxFrameText) {
        text_ += static_cast<char>(byte);
    } else {
        overflowed_ = true;
    }
    return false;
}

void SimFrameReceiver::Reset() {
    inFrame_ = false;
    overflowed_ = false;
    text_.clear();
}

}  // namespace veltrin
