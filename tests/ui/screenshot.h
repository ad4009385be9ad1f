#pragma once

#include <QString>

class QWidget;

// Saves a picture of the widget as <build>/screenshots/<name>.png for a person to look at.
bool SaveScreenshot(QWidget* widget, const QString& name);
