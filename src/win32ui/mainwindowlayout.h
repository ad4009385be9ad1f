#pragma once

#include <windows.h>

// Where the main window's controls sit, in client pixels at 96 DPI. Panel1 and the group boxes
// are drawn and placed by the main window itself; their contents are positioned from them.
namespace veltrin::win32ui::mainlayout {

// Client area under a standard window frame of 400 x 320.
constexpr int kClientWidth = 394;
constexpr int kClientHeight = 291;
constexpr RECT kPanel{8, 8, 8 + 378, 8 + 238};
constexpr int kBoxX = kPanel.left + 12;
constexpr int kFirmwareY = kPanel.top + 10;
constexpr int kViewY = kPanel.top + 108;  // the progress view and the message view
constexpr int kBoxWidth = 352;
constexpr int kFirmwareHeight = 80;
constexpr int kViewHeight = 118;
constexpr int kMessageLeft = 24, kMessageTop = 8;
constexpr int kNameX = kBoxX + 24, kVersionX = kBoxX + 130;
constexpr int kFirstLineY = kFirmwareY + 24, kSecondLineY = kFirmwareY + 48;
constexpr int kActionX = kBoxX + 16, kActionY = kViewY + 56;

}  // namespace veltrin::win32ui::mainlayout
