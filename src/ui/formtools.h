#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "windowlogic/formlayout.h"

class QLabel;
class QWidget;

namespace veltrin {

// The forms' typeface at a pixel size: Tahoma, loaded from Wine's fonts where the system lacks
// it; where neither has it, a close sans-serif.
QFont TahomaFont(int pixelSize, bool bold = false);

// The one conversion of the window logic's texts (UTF-8, as every text of the program) for Qt.
QString ToQString(std::string_view text);

// Places a control where the shared layout puts it in its parent, with the layout's font when
// the control has one of its own. A window gets its client size and font.
void ApplyLayout(QWidget* control, FormControl id);

// A label as the layout describes it; it shows text from outside verbatim (no rich-text
// guessing on "<...>" content).
QLabel* MakeLabel(QWidget* parent, const char* objectName, FormControl id);

// Sets a label's text and sizes it as the layout says, on every change: to its text, or
// stretched over its box.
void SetLabelText(QLabel* label, FormControl id, std::string_view text);

void SetTextColor(QLabel* label, const QColor& color);

}  // namespace veltrin
