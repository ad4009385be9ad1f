#pragma once

#include <windows.h>

#include <string>

// Writes what the screen shows of a top-level window (frame included) as a PNG into the build's
// screenshot folder. It copies from the screen rather than asking the window to print itself,
// which under Wine yields only the background. False when nothing could be captured.
bool SaveWindowScreenshot(HWND window, const std::string& name);
