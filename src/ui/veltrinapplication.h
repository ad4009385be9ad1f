#pragma once

#include <QApplication>
#include <QString>

namespace veltrin {

// The application object: title "Veltrin", and an exception that escapes an event handler is
// shown to the user instead of tearing the program down.
class VeltrinApplication : public QApplication {
    Q_OBJECT

public:
    VeltrinApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard display of an exception: its message in an error box.
    static void ShowException(const QString& message);
};

}  // namespace veltrin
