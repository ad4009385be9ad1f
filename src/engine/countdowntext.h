#pragma once

#include <string>

namespace veltrin {

// The action text shown each second while the worker waits for a restarting device.
std::string CountdownText(int seconds);

// True when text is a countdown text; seconds receives the seconds it shows. Lets an owner that
// reports events for machines tell the countdown from other action texts.
bool ParseCountdownText(const std::string& text, int& seconds);

}  // namespace veltrin
