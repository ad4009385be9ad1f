#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "formchecks.h"
#include "modalanswerer.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"

using veltrin::TForm_MessageThread;
using veltrin::TForm_MessageThreadEnd;

namespace {

// What a key held since before the dialog opened sends: auto-repeated presses, then a release.
void HeldKey(QWidget* target, Qt::Key key) {
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(target, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

}  // namespace

// Each dialog ignores a key that was already held when it opened, shows its focus from the
// start, and still answers a key pressed anew.
class HeldKeysTest : public QObject {
    Q_OBJECT

private slots:
    void heldKeysAnswerNoDialog_data() {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("pressed");  // the key pressed anew afterwards goes here
        QTest::addColumn<int>("result");
        QTest::newRow("question, Enter") << true << int(Qt::Key_Return) << "Button_No"
                                         << "Button_Yes" << int(QDialog::Accepted);
        QTest::newRow("question, Space") << true << int(Qt::Key_Space) << "Button_No"
                                         << "Button_Yes" << int(QDialog::Accepted);
        QTest::newRow("end, Enter") << false << int(Qt::Key_Return) << "Button_Start"
                                    << "Button_Exit" << 2;
        QTest::newRow("end, Space") << false << int(Qt::Key_Space) << "Button_Start"
                                    << "Button_Exit" << 2;
    }
    void heldKeysAnswerNoDialog() {
        QFETCH(bool, question);
        QFETCH(int, key);
        QFETCH(QString, focused);
        QFETCH(QString, pressed);
        QFETCH(int, result);
        TForm_MessageThread questionDialog;
        TForm_MessageThreadEnd endDialog;
        QDialog* dialog = question ? static_cast<QDialog*>(&questionDialog) : &endDialog;
        ModalAnswerer answerer;
        bool stayedOpen = false;
        bool focusShown = false;
        answerer.Then([&](QWidget* d) {
            auto* button = Child<QPushButton>(d, focused.toUtf8().constData());
            focusShown = d->focusWidget() == button && d->testAttribute(Qt::WA_KeyboardFocusChange);
            HeldKey(button, static_cast<Qt::Key>(key));
            stayedOpen = d->isVisible();
            // Then the user moves on and presses the key anew on the other button.
            auto* other = Child<QPushButton>(d, pressed.toUtf8().constData());
            other->setFocus(Qt::TabFocusReason);
            QTest::keyClick(other, static_cast<Qt::Key>(key));
            // A key that did nothing fails the test instead of hanging it.
            if (d->isVisible()) {
                QTest::mouseClick(Child<QPushButton>(d, question ? "Button_No" : "Button_Exit"),
                                  Qt::LeftButton);
            }
        });
        const int answer = dialog->exec();
        QVERIFY(stayedOpen);
        QVERIFY(focusShown);
        QCOMPARE(answer, result);
    }
};

QTEST_MAIN(HeldKeysTest)
#include "heldkeys_test.moc"
