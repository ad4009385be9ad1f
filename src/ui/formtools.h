#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

class QLabel;
class QWidget;

namespace veltrin {

// The forms' typeface at a pixel size; where Tahoma is not installed Qt picks a close sans-serif.
QFont TahomaFont(int pixelSize, bool bold = false);

// Texts of the update logic are 8-bit texts in the system's code page.
QString ToQString(std::string_view text);

// The form's labels size themselves to their text like the labels they stand for.
void SetAutoSizeText(QLabel* label, const QString& text);

// Stretches a label over the group box it sits in, keeping its own position as the margin on
// every side: height := box height - 2 * top, width := box width - 2 * left.
void StretchOverBox(QLabel* label, const QWidget* box);

void SetTextColor(QLabel* label, const QColor& color);

// A label that shows text from outside verbatim: no rich-text guessing on "<...>" content.
QLabel* MakePlainLabel(QWidget* parent, const char* objectName, int x, int y);

}  // namespace veltrin
