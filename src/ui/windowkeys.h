#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "windowlogic/keyboardtable.h"

class QWidget;

namespace veltrin {

// Drives one window by its keyboard table: only the table's controls take the focus, in its Tab
// order, and Enter, Space and Escape do what the table says. It watches the window and those
// controls, after the application's filters (held keys are gone by then).
class WindowKeys : public QObject {
    Q_OBJECT

public:
    using ControlLookup = std::function<QWidget*(FormControl)>;

    // Call once the window's controls exist; leave is what Escape does where the table says
    // Leave. The window owns the object.
    WindowKeys(QWidget* window, FormControl id, ControlLookup controlOf,
               std::function<void()> leave = {});

    // The focus goes to the table's first focus, drawn as from the keyboard from the start; the
    // attribute holds also when the window is activated only after this.
    void FocusFirst();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<FormControl> Focused() const;

    QWidget* window_;
    FormControl id_;
    ControlLookup controlOf_;
    std::function<void()> leave_;
};

}  // namespace veltrin
