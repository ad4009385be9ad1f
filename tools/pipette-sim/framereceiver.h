#pragma once

#include <cstdint>
#include <string>

namespace veltrin {

// Collects request frames from the line one byte at a time: bytes before an STX are noise, a run
// of STX opens a frame, ETX closes it. An STX inside a frame starts the frame over (the host
// gave up on the old one). The text is bounded; a longer frame is reported as overflowed.
class SimFrameReceiver {
public:
    // True when this byte completed a frame; Text() and Overflowed() then describe it.
    bool Feed(std::uint8_t byte);
    void Reset();

    const std::string& Text() const { return text_; }
    bool Overflowed() const { return overflowed_; }

private:
    bool inFrame_ = false;
    bool overflowed_ = false;
    std::string text_;
};

}  // namespace veltrin
