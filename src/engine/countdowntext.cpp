#include "engine/countdowntext.h"

namespace veltrin {

namespace {

constexpr char kBefore[] = "Update will continue in ";
constexpr char kAfter[] = " seconds ...";

}  // namespace

std::string CountdownText(int seconds) {
    return kBefore + std::to_string(seconds) + kAfter;
}

bool ParseCountdownText(const std::string& text, int& seconds) {
    const std::string before = kBefore;
    const std::string after = kAfter;
    if (text.size() <= before.size() + after.size() || text.compare(0, before.size(), before) != 0 ||
        text.compare(text.size() - after.size(), after.size(), after) != 0) {
        return false;
    }
    const std::string digits = text.substr(before.size(), text.size() - before.size() - after.size());
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seconds = std::stoi(digits);
    return true;
}

}  // namespace veltrin
