#include "ui/tahomafiles.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace veltrin {

namespace {

bool LoadOnce() {
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        return true;
    }
    const QString folder = QStringLiteral(VELTRIN_TAHOMA_DIR);
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        QFontDatabase::addApplicationFont(folder + QLatin1Char('/') + QLatin1String(file));
    }
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"));
}

}  // namespace

bool EnsureTahomaLoaded() {
    static const bool loaded = LoadOnce();
    return loaded;
}

}  // namespace veltrin
