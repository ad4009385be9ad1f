#include "diagnostics/clprotocol.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/systemcodepage.h"
#include "common/texttrim.h"
#include "common/utf8path.h"
#include "diagnostics/localtimetext.h"

namespace veltrin {

namespace {
constexpr std::size_t kSeparatorWidth = 120;
}  // namespace

ClProtocol::ClProtocol() : clock_(&std::chrono::system_clock::now) {}

void ClProtocol::SetFileName(const std::string& fileName) {
    fileName_ = fileName;
}

void ClProtocol::SetClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(&std::chrono::system_clock::now);
}

void ClProtocol::Reset() {
    const std::string name = TrimText(fileName_);
    if (name.empty())
        return;
    std::error_code error;
    // Only a file: a directory of that name is left alone.
    if (!std::filesystem::is_regular_file(PathFromUtf8(name), error))
        return;
    std::filesystem::remove(PathFromUtf8(name), error);
}

void ClProtocol::WriteLine(const std::string& text) {
    Append(text + lineEnd_);
}

void ClProtocol::WriteTimedLine(const std::string& text) {
    if (text.empty()) {
        WriteLine(text);
    } else {
        WriteLine(TimeStamp() + text);
    }
}

void ClProtocol::WriteBlankLine() {
    Append(lineEnd_);
}

void ClProtocol::WriteSeparator() {
    Append(std::string(kSeparatorWidth, '#') + lineEnd_);
}

std::string ClProtocol::TimeStamp() const {
    using namespace std::chrono;
    const system_clock::time_point now = clock_();
    const auto wholeSeconds = floor<seconds>(now);
    const long milliseconds =
        static_cast<long>(duration_cast<std::chrono::milliseconds>(now - wholeSeconds).count());
    char millisecondText[24] = {};
    std::snprintf(millisecondText, sizeof(millisecondText), "%03ld", milliseconds);
    return LocalTimeOfDayText(system_clock::to_time_t(wholeSeconds)) + "-" + millisecondText + ": ";
}

void ClProtocol::Append(const std::string& text) const {
    const std::string name = TrimText(fileName_);
    if (name.empty())
        return;
    // The name is UTF-8 (a user may name any folder); text mode: the line end becomes CR LF
    // where the system wants it.
    std::ofstream file(PathFromUtf8(name), std::ios::app);
    if (!file)
        return;
    // The step texts are UTF-8 in the program; people read the file in the system code page.
    const std::string converted = SystemCodePageFromUtf8(text);
    file.write(converted.data(), static_cast<std::streamsize>(converted.size()));
}

}  // namespace veltrin
