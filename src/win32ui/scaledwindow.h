#pragma once

#include <memory>

#include "win32ui/labelpainter.h"
#include "win32ui/scaledlayout.h"
#include "win32ui/windowbase.h"

namespace veltrin::win32ui {

// A window laid out in 96-DPI pixels with owner-drawn labels: the three windows of the program.
// It draws the labels and lays the window out anew when it moves to a monitor of another DPI;
// a derived window handles its own messages first and passes the rest on to this one.
class ScaledWindow : public WindowBase {
protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::unique_ptr<ScaledLayout> layout_;
    std::unique_ptr<LabelPainter> labels_;
};

}  // namespace veltrin::win32ui
