#pragma once

#include <QObject>
#include <QSet>

class QWidget;

namespace veltrin {

// Keeps keys that were already down when a dialog opened away from it: their auto-repeats, and
// their release, belong to whatever came before. Without it a held Enter answers every dialog
// that opens while it is held, one after the other. Only keys pressed anew while the dialog is
// open reach its controls.
class HeldKeyFilter : public QObject {
    Q_OBJECT

public:
    // Watches the key events of dialog and its children; dialog owns the filter.
    explicit HeldKeyFilter(QWidget* dialog);

    // The dialog opens: every key down now counts as held.
    void Reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* dialog_;
    QSet<int> pressedHere_;
};

}  // namespace veltrin
