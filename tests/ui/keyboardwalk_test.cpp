#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <map>

#include "fakeworld.h"
#include "mainwindowprobe.h"
#include "modalanswerer.h"
#include "ui/programwindows.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"
#include "windowlogic/keyboardtable.h"

using namespace veltrin;
using C = FormControl;

namespace {

// The Qt control of each of the table's controls, and what pressing it leads to: a dialog's
// result, or the runs the main window starts.
const std::map<C, std::pair<const char*, int>> kControls{
    {C::Button_StartStop, {"Button_StartStop", 1}},
    {C::Question_Button_Yes, {"Button_Yes", QDialog::Accepted}},
    {C::Question_Button_No, {"Button_No", QDialog::Rejected}},
    {C::End_Button_Exit, {"Button_Exit", TForm_MessageThreadEnd::kResultExit}},
    {C::End_Button_Start, {"Button_Start", TForm_MessageThreadEnd::kResultStart}},
};
constexpr int kStayedOpen = -1;

QWidget* Focused(QWidget* window) {
    return window->focusWidget();
}

QString NameOf(C control) {
    return QString::fromLatin1(kControls.at(control).first);
}

// Walks the window by Tab round its controls and back by Shift+Tab, then goes to the control
// at index and presses key there.
void Walk(QWidget* window, const WindowKeyboard& keyboard, int index, Qt::Key key) {
    const auto& order = keyboard.TabOrder;
    const int count = static_cast<int>(order.size());
    int at = static_cast<int>(std::find(order.begin(), order.end(), keyboard.FirstFocus) -
                              order.begin());
    QCOMPARE(Focused(window)->objectName(), NameOf(keyboard.FirstFocus));
    for (int step = 0; step < count; ++step) {
        QTest::keyClick(Focused(window), Qt::Key_Tab);
        at = (at + 1) % count;
        QCOMPARE(Focused(window)->objectName(), NameOf(order[at]));
    }
    for (int step = 0; step < count; ++step) {
        QTest::keyClick(Focused(window), Qt::Key_Tab, Qt::ShiftModifier);
        at = (at + count - 1) % count;
        QCOMPARE(Focused(window)->objectName(), NameOf(order[at]));
    }
    while (at != index) {
        QTest::keyClick(Focused(window), Qt::Key_Tab);
        at = (at + 1) % count;
    }
    QTest::keyClick(Focused(window), key);
}

struct Program {
    ProgramWindows windows;
    explicit Program(FakeWorld& world) : windows(CreateProgramWindows(world.Services())) {}
    ~Program() {
        if (windows.Form_Main->Params().ThreadRunning) {
            windows.Form_Main->UpdateThreadEnded();
        }
    }
};

}  // namespace

// Every window driven by the keyboard alone, as its keyboard table says.
class KeyboardWalkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void walk_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("index");  // of the control in the Tab order that takes the key
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        const std::pair<WindowKey, Qt::Key> keys[] = {{WindowKey::Enter, Qt::Key_Return},
                                                      {WindowKey::Space, Qt::Key_Space},
                                                      {WindowKey::Escape, Qt::Key_Escape}};
        for (const WindowKeyboard& keyboard : KeyboardTable()) {
            const bool main = keyboard.Window == C::MainWindow;
            for (std::size_t i = 0; i < keyboard.TabOrder.size(); ++i) {
                for (const auto& [key, qtKey] : keys) {
                    int expected = main ? 0 : kStayedOpen;
                    if (const auto pressed =
                            ButtonPressedBy(keyboard.Window, key, keyboard.TabOrder[i])) {
                        expected = kControls.at(*pressed).second;
                    } else if (AnswerOf(keyboard.Window, key) == KeyAnswer::Leave) {
                        expected = QDialog::Rejected;  // the question's close box
                    }
                    const QString name =
                        NameOf(keyboard.TabOrder[i]) + " " + QKeySequence(qtKey).toString();
                    QTest::newRow(name.toUtf8().constData())
                        << int(keyboard.Window) << int(i) << int(qtKey) << expected;
                }
            }
        }
    }

    void walk() {
        QFETCH(int, window);
        QFETCH(int, index);
        QFETCH(int, key);
        QFETCH(int, expected);
        const WindowKeyboard& keyboard = KeyboardOf(static_cast<C>(window));
        if (keyboard.Window == C::MainWindow) {
            FakeWorld world;
            world.Downloads = {Data("", ""), Data("Version 01.02.03", "")};
            Program program(world);
            TForm_Main& main = *program.windows.Form_Main;
            main.show();
            QVERIFY(QTest::qWaitForWindowActive(&main));
            main.Timer_DownloadIntelHexTimer();  // Ready: the button is enabled and focused
            Walk(&main, keyboard, index, static_cast<Qt::Key>(key));
            QCOMPARE(world.StartCalls, expected);
            return;
        }
        TForm_MessageThread question;
        TForm_MessageThreadEnd end;
        QDialog* dialog =
            keyboard.Window == C::QuestionDialog ? static_cast<QDialog*>(&question) : &end;
        ModalAnswerer user;
        user.Then([&](QWidget* d) {
            Walk(d, keyboard, index, static_cast<Qt::Key>(key));
            if (d->isVisible()) {
                static_cast<QDialog*>(d)->done(kStayedOpen);
            }
        });
        QCOMPARE(dialog->exec(), expected);
        QCOMPARE(user.Answered(), 1);
    }

    // Start/Stop has the focus while it is enabled, and gets it back after a dialog and after
    // another window had the activation.
    void focusComesBack() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};  // the first run starts at once
        Program program(world);
        TForm_Main& main = *program.windows.Form_Main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QPushButton* button = MainWindowProbe{&main}.Button();
        QCOMPARE(QApplication::focusWidget(), button);

        ModalAnswerer user;
        user.Then([](QWidget* d) {
            QTest::mouseClick(Child<QPushButton>(d, "Button_No"), Qt::LeftButton);
        });
        TSThreadParams params;
        params.EventText = "Start Update?";
        main.ThreadAskYesNo(params);
        QCOMPARE(user.Answered(), 1);
        QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() == button; }));

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(QApplication::focusWidget(), button);
    }
};

QTEST_MAIN(KeyboardWalkTest)
#include "keyboardwalk_test.moc"
