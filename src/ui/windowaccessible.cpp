#include "ui/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace veltrin {
namespace {

constexpr char kFrameProperty[] = "veltrinAccessibleFrame";

QAccessibleInterface* FrameFactory(const QString&, QObject* object) {
    if (object == nullptr || !object->isWidgetType() ||
        !object->property(kFrameProperty).toBool()) {
        return nullptr;
    }
    // A window's accessible name is its title, kept up to date by the widget.
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void AnnounceAsFrame(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(FrameFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(kFrameProperty, true);
}

}  // namespace veltrin
