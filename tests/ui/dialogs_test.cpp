#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "formchecks.h"
#include "modalanswerer.h"
#include "screenshot.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"

using veltrin::TForm_MessageThread;
using veltrin::TForm_MessageThreadEnd;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

void Click(QWidget* dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void endDialogLayout() {
        TForm_MessageThreadEnd dialog;
        QCOMPARE(dialog.size(), QSize(544, 241));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(dialog.font().pixelSize(), 13);
        QVERIFY(CheckPlacements(&dialog, {{"GroupBox_Message", 8, 8, 528, 50},
                                          {"Label_Status", 14, 6},
                                          {"Label_ErrorText", 14, 28},
                                          {"GroupBox_Start", 8, 65, 528, 134},
                                          {"Label_Message_Start", 12, 12},
                                          {"Button_Exit", 194, 208, 150, 25},
                                          {"Button_Start", 372, 208, 150, 25}}));
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Exit")->text(), QString("Exit Program"));
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Start")->text(),
                 QString("Update next device"));
        QVERIFY(Child<QLabel>(&dialog, "Label_Status")->font().bold());
        QCOMPARE(Child<QLabel>(&dialog, "Label_Status")->font().pixelSize(), 16);
        QCOMPARE(TextColor(&dialog, "Label_ErrorText"), kRed);
    }

    void endDialogShowsTheResult_data() {
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("start");

        const QString error = "The update was terminated prematurely due to an error";
        const QString terminated = "Update terminated";
        // A cancelled run shows the cancel texts whatever its code was.
        QTest::newRow("cancelled")
            << true << 14 << "" << terminated << "The update was ended by the user"
            << ""
            << "Restart update or unplug the device."
            << "Restart Update";
        QTest::newRow("code 1")
            << false << 1 << "" << terminated << error << "Update unsupported for connected device!"
            << "Unplug device and plug Quorvan/plus or Tarnovelle K7/K7x\ninto the USB before "
               "start update."
            << "Start Update";
        QTest::newRow("code 2") << false << 2 << "" << terminated << error
                                << "No device found - one device must be connected!"
                                << "Plug your device into the USB and start update."
                                << "Start Update";
        QTest::newRow("code 3") << false << 3 << "" << terminated << error
                                << "Multiple devices found - only one device must be connected!"
                                << "Remove unnecessary devices before the update can be started."
                                << "Start Update";
        QTest::newRow("code 4")
            << false << 4 << "" << terminated << error
            << "Update Quorvan/plus impossible - no data available!"
            << "Unplug Quorvan/plus - only update of Tarnovelle K7/K7x is possible."
            << "Start Update";
        QTest::newRow("code 5")
            << false << 5 << "" << terminated << error
            << "Update Tarnovelle K7/K7x impossible - no data available!"
            << "Unplug Tarnovelle K7/K7x - only update of Quorvan/plus is possible."
            << "Start Update";
        QTest::newRow("code 6") << false << 6 << "" << terminated << error
                                << "The battery status is too low to carry out the update!"
                                << "Connect charging plug into the device\nbefore restart update."
                                << "Restart Update";
        QTest::newRow("code 7") << false << 7 << "" << terminated << error << "Variant invalid!"
                                << "Unplug device and contact service."
                                << "Start Update";
        QTest::newRow("code 14") << false << 14 << "" << terminated << error
                                 << "Exceptional error! (#14)"
                                 << "Restart update or unplug the device."
                                 << "Restart Update";
        QTest::newRow("success")
            << false << 0 << "Update Quorvan/plus Version 01.02.03"
            << "Update finished"
            << "Update successful"
            << ""
            << "Update Quorvan/plus Version 01.02.03 has been installed.\nUnplug the device.\n\n"
               "For updating next device plug it into the USB port\nand start update."
            << "Update next device";
    }

    void endDialogShowsTheResult() {
        QFETCH(bool, terminated);
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        QFETCH(QString, status);
        QFETCH(QString, error);
        QFETCH(QString, hint);
        QFETCH(QString, start);

        TForm_MessageThreadEnd dialog;
        // A run before leaves nothing behind.
        dialog.ShowResult(false, 41, "");
        dialog.ShowResult(terminated, code, text.toStdString());

        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(LabelText(&dialog, "Label_Status"), status);
        QCOMPARE(LabelText(&dialog, "Label_ErrorText"), error);
        QCOMPARE(LabelText(&dialog, "Label_Message_Start"), hint);
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Start")->text(), start);
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Exit")->text(), QString("Exit Program"));

        const QLabel* statusLabel = Child<QLabel>(&dialog, "Label_Status");
        const bool success = !terminated && code == 0;
        const bool failed = !terminated && code != 0;
        QCOMPARE(TextColor(&dialog, "Label_Status"), success ? kGreen : kRed);
        QCOMPARE(statusLabel->alignment(),
                 failed ? (Qt::AlignLeft | Qt::AlignTop) : Qt::Alignment(Qt::AlignCenter));
        // The large labels cover their boxes whatever the text.
        QCOMPARE(statusLabel->geometry(), QRect(14, 6, 500, 38));
        QCOMPARE(Child<QLabel>(&dialog, "Label_Message_Start")->geometry(),
                 QRect(12, 12, 504, 110));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(SaveScreenshot(&dialog,
                               "end_dialog_" + QString(QTest::currentDataTag()).replace(' ', '_')));
    }

    void endDialogIsLeftOnlyThroughItsButtons() {
        TForm_MessageThreadEnd dialog;
        dialog.ShowResult(false, 2, "");
        ModalAnswerer user;
        user.Then([](QWidget* d) {
            QTest::keyClick(d, Qt::Key_Escape);
            d->close();
        });
        user.Then([](QWidget* d) {
            QVERIFY(d->isVisible());  // neither Escape nor a close request ended it
            Click(d, "Button_Start");
        });
        QCOMPARE(dialog.exec(), TForm_MessageThreadEnd::kResultStart);
        QCOMPARE(user.Answered(), 2);

        user.Then([](QWidget* d) { Click(d, "Button_Exit"); });
        QCOMPARE(dialog.exec(), TForm_MessageThreadEnd::kResultExit);
    }

    void questionDialogLayout() {
        TForm_MessageThread dialog;
        QCOMPARE(dialog.windowTitle(), QString("Confirmation"));
        QCOMPARE(dialog.size(), QSize(444, 151));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dialog.font().pixelSize(), 11);
        QVERIFY(CheckPlacements(&dialog, {{"GroupBox_Message", 8, 8, 428, 102},
                                          {"Label_Message", 12, 12},
                                          {"Button_Yes", 239, 118, 75, 25},
                                          {"Button_No", 343, 118, 75, 25}}));
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Yes")->text(), QString("Yes"));
        QCOMPARE(Child<QPushButton>(&dialog, "Button_No")->text(), QString("No"));
        QCOMPARE(Child<QPushButton>(&dialog, "Button_Yes")->font().pixelSize(), 13);
        QCOMPARE(Child<QLabel>(&dialog, "Label_Message")->font().pixelSize(), 16);
    }

    void questionDialogAnswers_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("yes") << 0 << int(QDialog::Accepted);
        QTest::newRow("no") << 1 << int(QDialog::Rejected);
        QTest::newRow("close box") << 2 << int(QDialog::Rejected);
        QTest::newRow("escape") << 3 << int(QDialog::Rejected);
        // The focus starts on No: no single key confirms; Yes takes Tab first.
        QTest::newRow("enter") << 4 << int(QDialog::Rejected);
        QTest::newRow("space") << 5 << int(QDialog::Rejected);
        QTest::newRow("tab then enter") << 6 << int(QDialog::Accepted);
        QTest::newRow("tab then space") << 7 << int(QDialog::Accepted);
    }

    void questionDialogAnswers() {
        QFETCH(int, how);
        QFETCH(int, result);
        TForm_MessageThread dialog;
        dialog.SetMessage("Start Update?");
        ModalAnswerer user;
        user.Then([how](QWidget* d) {
            switch (how) {
                case 0:
                    Click(d, "Button_Yes");
                    break;
                case 1:
                    Click(d, "Button_No");
                    break;
                case 2:
                    d->close();
                    break;
                case 3:
                    QTest::keyClick(d, Qt::Key_Escape);
                    break;
                default:
                    if (how >= 6) {
                        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
                    }
                    QTest::keyClick(d->focusWidget(),
                                    how % 2 == 0 ? Qt::Key_Return : Qt::Key_Space);
            }
            // A key that did nothing fails the test instead of hanging it.
            if (d->isVisible()) {
                static_cast<QDialog*>(d)->done(-1);
            }
        });
        QCOMPARE(dialog.exec(), result);
    }

    void questionDialogKeepsTheTextsLineBreaks() {
        TForm_MessageThread dialog;
        dialog.SetMessage(
            " \r\n! Adjustments and other user data will be deleted.\n\nStart Update?\n\t ");
        const QLabel* label = Child<QLabel>(&dialog, "Label_Message");
        QCOMPARE(label->text(),
                 QString("! Adjustments and other user data will be deleted.\n\nStart Update?"));
        QVERIFY(!label->wordWrap());
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(label->geometry(), QRect(12, 12, 404, 78));
        // Three lines, the middle one empty: the text is as tall as three lines.
        const int lineHeight = label->fontMetrics().lineSpacing();
        QVERIFY(label->sizeHint().height() >= 3 * lineHeight);
        QVERIFY(label->sizeHint().height() < 4 * lineHeight);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(SaveScreenshot(&dialog, "question_dialog"));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
