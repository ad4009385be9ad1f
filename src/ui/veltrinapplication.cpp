#include "ui/veltrinapplication.h"

#include <QMessageBox>
#include <exception>

namespace veltrin {

VeltrinApplication::VeltrinApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Veltrin"));
}

bool VeltrinApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        // Not one of ours: shown the same way, with an empty message.
        ShowException(QString());
    }
    return false;
}

void VeltrinApplication::ShowException(const QString& message) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), message);
}

}  // namespace veltrin
