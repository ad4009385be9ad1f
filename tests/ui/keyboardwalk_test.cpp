#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <map>

#include "fakeworld.h"
#include "keyboardwalks.h"
#include "mainwindowprobe.h"
#include "modalanswerer.h"

using namespace veltrin;
using C = FormControl;

namespace {

const std::map<C, QString> kNames{{C::Button_StartStop, "Button_StartStop"},
                                  {C::Question_Button_Yes, "Button_Yes"},
                                  {C::Question_Button_No, "Button_No"},
                                  {C::End_Button_Exit, "Button_Exit"},
                                  {C::End_Button_Start, "Button_Start"}};
const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape};  // WindowKey order

void Walk(QWidget* window, const KeyWalk& walk) {
    QCOMPARE(window->focusWidget()->objectName(), kNames.at(KeyboardOf(walk.window).FirstFocus));
    for (const TabMove& move : walk.moves) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab,
                        move.back ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(window->focusWidget()->objectName(), kNames.at(move.focus));
    }
    QTest::keyClick(window->focusWidget(), kKeys[int(walk.key)]);
}

}  // namespace

// Every window driven by the keyboard alone, as its keyboard table says.
class KeyboardWalkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void walk_data() {
        QTest::addColumn<int>("walk");
        const std::vector<KeyWalk> walks = AllKeyWalks();
        for (std::size_t i = 0; i < walks.size(); ++i) {
            QTest::newRow(walks[i].name.c_str()) << int(i);
        }
    }

    // The dialogs open from the main window, as the worker's events open them; once they are
    // answered the focus is back on Start/Stop.
    void walk() {
        QFETCH(int, walk);
        const KeyWalk w = AllKeyWalks()[static_cast<std::size_t>(walk)];
        FakeWorld world;
        world.Downloads = {Data("", ""), Data("Version 01.02.03", "")};
        Program program(world);
        TForm_Main& main = program.Main();
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.Timer_DownloadIntelHexTimer();  // Ready: Start/Stop enabled, and with it the focus
        if (w.window == C::MainWindow) {
            Walk(&main, w);
            QCOMPARE(world.StartCalls, w.expected);
            return;
        }
        bool stayedOpen = false;
        ModalAnswerer user;
        user.Then([&](QWidget* d) {
            Walk(d, w);
            stayedOpen = d->isVisible();
            if (stayedOpen) {
                static_cast<QDialog*>(d)->done(kStayedOpen);
            }
        });
        TSThreadParams params;
        int outcome = 0;
        if (w.window == C::QuestionDialog) {
            main.ThreadAskYesNo(params);
            outcome = params.EventAnswer;
        } else {
            main.ThreadReportEnd(params, false);
            outcome = main.Params().NextAction;
        }
        QCOMPARE(user.Answered(), 1);
        QCOMPARE(stayedOpen ? kStayedOpen : outcome, w.expected);
        QPushButton* button = MainWindowProbe{&main}.Button();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::focusWidget() == button; }));
    }
};

QTEST_MAIN(KeyboardWalkTest)
#include "keyboardwalk_test.moc"
