#include "screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

bool SaveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = QStringLiteral(VELTRIN_SCREENSHOT_DIR);
    if (!QDir().mkpath(dir)) {
        return false;
    }
    return widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}
