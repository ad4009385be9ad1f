#include "ui/windowkeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace veltrin {
namespace {

std::optional<WindowKey> KeyOf(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return WindowKey::Enter;
        case Qt::Key_Space:
            return WindowKey::Space;
        case Qt::Key_Escape:
            return WindowKey::Escape;
        default:
            return std::nullopt;
    }
}

}  // namespace

WindowKeys::WindowKeys(QWidget* window, FormControl id, ControlLookup controlOf,
                       std::function<void()> leave)
    : QObject(window),
      window_(window),
      id_(id),
      controlOf_(std::move(controlOf)),
      leave_(std::move(leave)) {
    const auto order = KeyboardOf(id_).TabOrder;
    for (QWidget* child : window_->findChildren<QWidget*>()) {
        child->setFocusPolicy(Qt::NoFocus);
    }
    QWidget* previous = nullptr;
    for (const FormControl control : order) {
        QWidget* stop = controlOf_(control);
        stop->setFocusPolicy(Qt::StrongFocus);
        stop->installEventFilter(this);
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, stop);
        }
        previous = stop;
    }
    window_->installEventFilter(this);
}

void WindowKeys::FocusFirst() {
    window_->setAttribute(Qt::WA_KeyboardFocusChange);
    controlOf_(KeyboardOf(id_).FirstFocus)->setFocus(Qt::TabFocusReason);
}

std::optional<FormControl> WindowKeys::Focused() const {
    const QWidget* focus = window_->focusWidget();
    for (const FormControl control : KeyboardOf(id_).TabOrder) {
        if (focus != nullptr && controlOf_(control) == focus) {
            return control;
        }
    }
    return std::nullopt;
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const std::optional<WindowKey> key = KeyOf(static_cast<const QKeyEvent*>(event)->key());
    if (!key) {
        return false;
    }
    switch (AnswerOf(id_, *key)) {
        case KeyAnswer::Nothing:
            return true;
        case KeyAnswer::Leave:
            if (leave_) {
                leave_();
            }
            return true;
        case KeyAnswer::PressFocused:
            break;
    }
    const std::optional<FormControl> focused = Focused();
    // Space on the focused button: the button presses itself, on the key's release, as any
    // button does.
    if (*key == WindowKey::Space && focused && watched == controlOf_(*focused)) {
        return false;
    }
    if (const std::optional<FormControl> pressed = ButtonPressedBy(id_, *key, focused)) {
        if (auto* button = qobject_cast<QAbstractButton*>(controlOf_(*pressed))) {
            button->click();
        }
    }
    return true;
}

}  // namespace veltrin
