#include "ui/heldkeyfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace veltrin {

HeldKeyFilter::HeldKeyFilter(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
    // Key events go to the focused button first: the filter must see them there.
    qApp->installEventFilter(this);
}

void HeldKeyFilter::Reset() {
    pressedHere_.clear();
}

bool HeldKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != dialog_ && !dialog_->isAncestorOf(widget))) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (type == QEvent::KeyPress) {
        if (!key->isAutoRepeat()) {
            pressedHere_.insert(key->key());
        }
        return !pressedHere_.contains(key->key());
    }
    if (key->isAutoRepeat()) {
        return !pressedHere_.contains(key->key());
    }
    // A release propagates from the button to the dialog: the key stays known until the
    // dialog itself has seen it.
    const bool pressed = pressedHere_.contains(key->key());
    if (widget == dialog_) {
        pressedHere_.remove(key->key());
    }
    return !pressed;
}

}  // namespace veltrin
