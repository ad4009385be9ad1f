#include <QApplication>
#include <QTest>
#include <cstring>

#include "fakeworld.h"
#include "mainwindowprobe.h"
#include "modalanswerer.h"
#include "parfile.h"
#include "screenshot.h"
#include "ui/programwindows.h"
#include "records/variantrecords.h"

using namespace veltrin;

namespace {

void Click(QWidget* dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

TSClQuorvanVariants_ParamRecord Variant(std::uint16_t id, std::uint8_t fill) {
    TSClQuorvanVariants_ParamRecord record;
    std::memset(&record, fill, sizeof record);
    record.VariantId = id;
    return record;
}

// The windows in the Updating state, with a fake worker the test speaks for.
struct RunningProgram {
    FakeWorld world;
    ProgramWindows windows;

    explicit RunningProgram(std::vector<std::uint8_t> parFile = {}) {
        world.Downloads = {Data("Version 01.02.03", "")};
        world.LoadVariants = [parFile](ClQuorvanVariants& variants) {
            if (!parFile.empty()) {
                MemoryByteSource source(parFile.data(), parFile.size());
                QCOMPARE(variants.Load(source), 0);
            }
        };
        windows = CreateProgramWindows(world.Services());
        windows.Form_Main->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.Form_Main.get()));
    }

    ~RunningProgram() {
        // Let the run end so that the window may go.
        if (windows.Form_Main->Params().ThreadRunning) {
            windows.Form_Main->UpdateThreadEnded();
        }
    }

    TForm_Main& Main() { return *windows.Form_Main; }
};

}  // namespace

class MainWindowEventsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void fetchParamsHandsOverTheTextsAsDownloaded() {
        FakeWorld world;
        UpdateData data = Data(" Version 01.02.03\r\n", "");
        data.HexTarnovelleK7 = "  :00000001FF  ";
        world.Downloads = {data};
        world.RefuseWorkers = true;
        TForm_Main window(world.Services());
        TSThreadParams params;
        params.VersionTarnovelleK7 = "stale";
        window.ThreadFetchParams(params);
        QCOMPARE(params.HexQuorvanOtg, data.HexQuorvanOtg);
        QCOMPARE(params.VersionQuorvanOtg, std::string(" Version 01.02.03\r\n"));
        QCOMPARE(params.HexTarnovelleK7, std::string("  :00000001FF  "));
        QCOMPARE(params.VersionTarnovelleK7, std::string());
    }

    void progressBarsFollowTheWorker() {
        RunningProgram program;
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        QProgressBar* total = probe.Bar("ProgressBar_Total");
        QProgressBar* action = probe.Bar("ProgressBar_Action");
        TSThreadParams params;
        auto send = [&](void (TForm_Main::*handler)(TSThreadParams&), int value) {
            params.EventValue = value;
            (window.*handler)(params);
        };

        send(&TForm_Main::ThreadSetTotalMax, 200);
        send(&TForm_Main::ThreadSetTotalPosition, 150);
        send(&TForm_Main::ThreadStepTotal, 30);
        QCOMPARE(total->maximum(), 200);
        QCOMPARE(total->value(), 180);
        // Beyond the range the bars stop at its ends, as the worker's progress bars always did.
        send(&TForm_Main::ThreadStepTotal, 50);
        QCOMPARE(total->value(), 200);
        send(&TForm_Main::ThreadSetTotalMax, 120);
        QCOMPARE(total->value(), 120);
        send(&TForm_Main::ThreadSetActionMax, 1048576);
        send(&TForm_Main::ThreadSetActionPosition, 4096);
        QCOMPARE(action->maximum(), 1048576);
        QCOMPARE(action->value(), 4096);
        send(&TForm_Main::ThreadSetActionPosition, -5);
        QCOMPARE(action->value(), 0);

        params.EventText = "\t Update Quorvan/plus \r\n";
        window.ThreadShowTitle(params);
        params.EventText = "  Write application ...\n";
        window.ThreadShowAction(params);
        QCOMPARE(probe.Box("GroupBox_ThreadAction")->title(), QString("Update Quorvan/plus"));
        QCOMPARE(LabelText(&window, "Label_Action"), QString("Write application ..."));

        send(&TForm_Main::ThreadSetTotalMax, 100);
        send(&TForm_Main::ThreadSetTotalPosition, 40);
        send(&TForm_Main::ThreadSetActionMax, 100);
        send(&TForm_Main::ThreadSetActionPosition, 70);
        QVERIFY(SaveScreenshot(&window, "main_window_progress"));
    }

    void questionIsAskedBesideTheWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << "Button_Yes" << 1;
        QTest::newRow("no") << "Button_No" << 0;
        QTest::newRow("close box") << "" << 0;
    }

    void questionIsAskedBesideTheWindow() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        RunningProgram program;
        TForm_Main& window = program.Main();
        QPoint at;
        QString text;
        ModalAnswerer user;
        user.Then([&](QWidget* dialog) {
            at = dialog->pos();
            text = LabelText(dialog, "Label_Message");
            if (how.isEmpty()) {
                dialog->close();
            } else {
                Click(dialog, how.toLatin1().constData());
            }
        });
        TSThreadParams params;
        params.EventAnswer = 1 - answer;
        params.EventText =
            "The newest update version corresponds to\nthe version on the device.\n\nStart "
            "Update?\n";
        window.ThreadAskYesNo(params);
        QCOMPARE(int(params.EventAnswer), answer);
        QCOMPARE(at, window.frameGeometry().topLeft() + QPoint(30, 30));
        QCOMPARE(text, QString("The newest update version corresponds to\nthe version on the "
                               "device.\n\nStart Update?"));
    }

    void endDialogIsShownBesideTheWindow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("nextAction");
        QTest::newRow("next device") << "Button_Start" << int(NEXT_ACTION_START);
        QTest::newRow("exit") << "Button_Exit" << int(NEXT_ACTION_EXIT);
    }

    void endDialogIsShownBesideTheWindow() {
        QFETCH(QString, button);
        QFETCH(int, nextAction);
        RunningProgram program;
        TForm_Main& window = program.Main();
        QPoint at;
        QString status;
        QString hint;
        ModalAnswerer user;
        user.Then([&](QWidget* dialog) {
            at = dialog->pos();
            status = LabelText(dialog, "Label_Status");
            hint = LabelText(dialog, "Label_Message_Start");
            QVERIFY(SaveScreenshot(dialog, "end_dialog_over_main_window"));
            Click(dialog, button.toLatin1().constData());
        });
        TSThreadParams params;
        params.ResultCode = 0;
        params.EventText = "Update Tarnovelle K7/K7x Version 02.00.07";
        window.ThreadReportEnd(params, false);
        QCOMPARE(window.Params().NextAction, nextAction);
        QCOMPARE(at, window.frameGeometry().topLeft() + QPoint(50, 50));
        QCOMPARE(status, QString("Update successful"));
        QVERIFY(hint.startsWith("Update Tarnovelle K7/K7x Version 02.00.07 has been installed.\n"));
    }

    void variantLookup_data() {
        QTest::addColumn<int>("variantId");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<int>("foundFill");  // fill byte of the record found, -1 none
        QTest::newRow("first of two equal ids") << 0x0110 << true << 0x11;
        QTest::newRow("other record") << 0x0220 << true << 0x22;
        QTest::newRow("unknown id") << 0x0330 << true << -1;
        QTest::newRow("id beyond 16 bits") << 0x10110 << true << -1;
        QTest::newRow("no parameter file") << 0x0110 << false << -1;
    }

    void variantLookup() {
        QFETCH(int, variantId);
        QFETCH(bool, withFile);
        QFETCH(int, foundFill);
        std::vector<std::uint8_t> par;
        if (withFile) {
            par =
                MakeParFile({Variant(0x0110, 0x11), Variant(0x0220, 0x22), Variant(0x0110, 0x33)});
        }
        RunningProgram program(par);
        TSThreadParams params;
        std::memset(params.DeviceParamsA, 0xAA, sizeof params.DeviceParamsA);
        std::memset(params.DeviceParamsB, 0xAA, sizeof params.DeviceParamsB);
        params.VariantId = variantId;
        program.Main().ThreadLookupVariant(params);

        ConfigRecordImage config{};
        ParamRecordImage param{};
        if (foundFill >= 0) {
            const auto fill = static_cast<std::uint8_t>(foundFill);
            config = MakeConfigRecord(Variant(static_cast<std::uint16_t>(variantId), fill));
            param = MakeParamRecord(Variant(static_cast<std::uint16_t>(variantId), fill));
        }
        QCOMPARE(int(params.EventAnswer), foundFill >= 0 ? 1 : 0);
        QVERIFY(std::memcmp(params.DeviceParamsA, config.data(), config.size()) == 0);
        QVERIFY(std::memcmp(params.DeviceParamsB, param.data(), param.size()) == 0);
    }

    void aWorkerOnItsOwnThreadIsServedInOrder() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        struct Seen {
            std::string version;
            bool answer = false;
            bool found = true;
        } seen;
        world.WorkerScript = [&seen](ScriptedWorker& worker) {
            worker.Run(&UpdateThreadOwner::ThreadFetchParams);
            seen.version = worker.Params.VersionQuorvanOtg;
            worker.Value(&UpdateThreadOwner::ThreadSetTotalMax, 10);
            worker.Value(&UpdateThreadOwner::ThreadStepTotal, 4);
            worker.Text(&UpdateThreadOwner::ThreadShowTitle, "Update Quorvan/plus");
            seen.answer = worker.Ask("Start Update?");
            seen.found = worker.Lookup(7);
            worker.ReportEnd(0, "Update Quorvan/plus Version 01.02.03");
        };
        ProgramWindows windows = CreateProgramWindows(world.Services());
        MainWindowProbe probe{windows.Form_Main.get()};
        int totalWhileAsked = -1;
        QString title;
        QString status;
        ModalAnswerer user;
        user.Then([&](QWidget* dialog) {
            totalWhileAsked = probe.Bar("ProgressBar_Total")->value();
            title = probe.Box("GroupBox_ThreadAction")->title();
            Click(dialog, "Button_Yes");
        });
        user.Then([&](QWidget* dialog) {
            status = LabelText(dialog, "Label_Status");
            // The run has not ended yet: the window still refuses to close.
            QVERIFY(!probe.window->close());
            Click(dialog, "Button_Exit");
        });
        windows.Form_Main->show();
        QTRY_VERIFY(!windows.Form_Main->isVisible());

        QCOMPARE(seen.version, std::string("Version 01.02.03"));
        QVERIFY(seen.answer);
        QVERIFY(!seen.found);
        QCOMPARE(totalWhileAsked, 4);
        QCOMPARE(title, QString("Update Quorvan/plus"));
        QCOMPARE(status, QString("Update successful"));
        QCOMPARE(world.StartCalls, 1);
    }
};

QTEST_MAIN(MainWindowEventsTest)
#include "mainwindow_events_test.moc"
