#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace veltrin {

// The plain-text trace file of the update worker. The file is not kept open: every write opens
// it for appending, writes and closes it again, so the file is complete after each call and can
// be read while an update runs. No operation reports an error; a blank file name or a file that
// cannot be opened makes the writes do nothing.
class ClProtocol {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    ClProtocol();

    // Stored as given; every operation uses it trimmed of leading and trailing codes 0..32.
    void SetFileName(const std::string& fileName);
    // Deletes the trace file when it exists.
    void Reset();
    // The text (when not empty) and the line end.
    void WriteLine(const std::string& text);
    // As WriteLine, with the time stamp in front of a non-empty text.
    void WriteTimedLine(const std::string& text);
    void WriteBlankLine();
    // 120 '#' and the line end.
    void WriteSeparator();
    // "<local time of day>-<milliseconds, 3 digits>: ", e.g. "14:03:27-045: ".
    std::string TimeStamp() const;

    // Test seam: the source of the current time (the system clock by default).
    void SetClock(Clock clock);

private:
    void Append(const std::string& text) const;

    std::string fileName_;
    std::string lineEnd_ = "\n";
    Clock clock_;
};

}  // namespace veltrin
