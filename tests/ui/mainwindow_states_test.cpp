#include <QApplication>
#include <QFrame>
#include <QTest>
#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>

#include "fakeworld.h"
#include "mainwindowprobe.h"
#include "modalanswerer.h"
#include "screenshot.h"
#include "ui/programwindows.h"
#include "wiring/realtransports.h"

using namespace veltrin;

namespace {

// Plays the engine's last steps on the UI thread: the end report, answered by the user with
// the given button of the end dialog, then the end-of-thread notification.
void EndRun(TForm_Main& window, bool terminated, int code, const char* button) {
    ModalAnswerer user;
    user.Then([button](QWidget* dialog) {
        QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
    });
    TSThreadParams params;
    params.ResultCode = code;
    window.ThreadReportEnd(params, terminated);
    QCOMPARE(user.Answered(), 1);
    window.UpdateThreadEnded();
}

}  // namespace

class MainWindowStatesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void layout() {
        FakeWorld world;
        Program program(world);
        TForm_Main& window = program.Main();
        QCOMPARE(window.windowTitle(), QString("Update Quorvan / Tarnovelle - Version 00.01.00"));
        QCOMPARE(window.size(), QSize(394, 291));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window.font().pixelSize(), 13);
        QVERIFY(CheckPlacements(&window, {{"Button_StartStop", 150, 257, 100, 25},
                                          {"Panel1", 8, 8, 378, 238},
                                          {"GroupBox_Firmware", 12, 10, 352, 80},
                                          {"Label_Firmware_QuorvanOtg_Name", 24, 24},
                                          {"Label_Firmware_TarnovelleK7_Name", 24, 48},
                                          {"Label_Firmware_QuorvanOtg_Version", 130, 24},
                                          {"Label_Firmware_TarnovelleK7_Version", 130, 48},
                                          {"GroupBox_ThreadAction", 12, 108, 352, 118},
                                          {"ProgressBar_Total", 16, 22, 320, 24},
                                          {"Label_Action", 16, 56},
                                          {"ProgressBar_Action", 16, 78, 320, 24},
                                          {"GroupBox_Message", 12, 108, 352, 118},
                                          {"Label_Message", 24, 8, 304, 102}}));
        QCOMPARE(Child<QGroupBox>(&window, "GroupBox_Firmware")->title(),
                 QString("Latest update version"));
        QCOMPARE(LabelText(&window, "Label_Firmware_QuorvanOtg_Name"), QString("Quorvan/plus"));
        QCOMPARE(LabelText(&window, "Label_Firmware_TarnovelleK7_Name"),
                 QString("Tarnovelle K7/K7x"));
        QCOMPARE(Child<QLabel>(&window, "Label_Message")->font().pixelSize(), 16);
        QVERIFY(Child<QLabel>(&window, "Label_Message")->wordWrap());
        MainWindowProbe probe{&window};
        QCOMPARE(probe.Timer("Timer_DownloadIntelHex")->interval(), 1000);
        QCOMPARE(probe.Timer("Timer_NextAction")->interval(), 100);
    }

    void dataAtStartStartsARunWithoutAClick() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "Version 02.00.07")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};

        QCOMPARE(world.StartCalls, 1);
        QVERIFY(window.Params().ThreadRunning);
        QVERIFY(probe.ShowsProgress());
        QCOMPARE(probe.ButtonText(), QString("Cancel"));
        QVERIFY(probe.ButtonEnabled());
        QCOMPARE(probe.Box("GroupBox_ThreadAction")->title(), QString("Firmware update ..."));
        QCOMPARE(probe.Bar("ProgressBar_Total")->maximum(), 100);
        QCOMPARE(probe.Bar("ProgressBar_Total")->value(), 0);
        QCOMPARE(probe.Bar("ProgressBar_Action")->maximum(), 100);
        QCOMPARE(probe.Bar("ProgressBar_Action")->value(), 0);
        QVERIFY(!probe.RetryTimerOn());
        QCOMPARE(probe.QuorvanVersion(), QString("Version 01.02.03"));
        QCOMPARE(probe.TarnovelleVersion(), QString("Version 02.00.07"));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(SaveScreenshot(&window, "main_window_updating"));
        EndRun(window, true, 0, "Button_Exit");
    }

    void noDataAtStartWaitsForARetry() {
        FakeWorld world;
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};

        QCOMPARE(world.DownloadCalls, 1);
        QCOMPARE(world.StartCalls, 0);
        QVERIFY(probe.ShowsMessage());
        QCOMPARE(probe.Message(), kNoData);
        QCOMPARE(probe.ButtonText(), QString("Start Update"));
        QVERIFY(!probe.ButtonEnabled());
        QCOMPARE(probe.QuorvanVersion(), QString("not available"));
        QCOMPARE(probe.TarnovelleVersion(), QString("not available"));
        QVERIFY(probe.RetryTimerOn());

        // A retry that finds nothing again keeps retrying.
        window.Timer_DownloadIntelHexTimer();
        QCOMPARE(world.DownloadCalls, 2);
        QVERIFY(probe.RetryTimerOn());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(SaveScreenshot(&window, "main_window_no_data"));
    }

    void aSuccessfulRetryEnablesStartButStartsNothing() {
        FakeWorld world;
        world.Downloads = {Data("", ""), Data("", "  Version 02.00.07 \n")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        QStringList shownWhileLoading;
        world.DuringDownload = [&] {
            shownWhileLoading << probe.QuorvanVersion() << probe.TarnovelleVersion();
        };

        window.Timer_DownloadIntelHexTimer();

        QCOMPARE(shownWhileLoading, QStringList({"loading ...", "loading ..."}));
        QCOMPARE(world.StartCalls, 0);
        QVERIFY(!window.Params().ThreadRunning);
        QVERIFY(probe.ShowsMessage());
        QCOMPARE(probe.Message(), kReady);
        QVERIFY(probe.ButtonEnabled());
        QCOMPARE(probe.ButtonText(), QString("Start Update"));
        QVERIFY(!probe.RetryTimerOn());
        // Only the one family that has a version can be updated.
        QCOMPARE(probe.QuorvanVersion(), QString("not available"));
        QCOMPARE(probe.TarnovelleVersion(), QString("Version 02.00.07"));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(SaveScreenshot(&window, "main_window_ready"));

        QTest::mouseClick(probe.Button(), Qt::LeftButton);
        QCOMPARE(world.StartCalls, 1);
        QVERIFY(probe.ShowsProgress());
        EndRun(window, true, 0, "Button_Exit");
    }

    // Each download's outcome, in order (Q both texts, one text, - none, V a usable version),
    // and the retry interval in ms the window waits after it (0: no further retry).
    void retriesGoOnWhileAFirmwareFileIsMissing_data() {
        QTest::addColumn<QString>("downloads");
        QTest::addColumn<QList<int>>("intervals");
        QTest::newRow("both texts, neither usable: no retry") << "Q" << QList<int>{0};
        QTest::newRow("one text missing: every second")
            << "111" << QList<int>{1000, 1000, 1000};
        QTest::newRow("nothing fetched: every second") << "---" << QList<int>{1000, 1000, 1000};
        QTest::newRow("a missing file, then both unusable: retries stop")
            << "-1Q" << QList<int>{1000, 1000, 0};
        QTest::newRow("a missing file, then a usable release") << "-V" << QList<int>{1000, 0};
    }

    void retriesGoOnWhileAFirmwareFileIsMissing() {
        QFETCH(QString, downloads);
        QFETCH(QList<int>, intervals);
        FakeWorld world;
        for (const QChar outcome : downloads) {
            UpdateData data;  // texts that failed the firmware check have no version
            if (outcome == 'V') {
                data = Data("Version 01.02.03", "");
            }
            data.HexQuorvanOtg = outcome == '-' ? "" : ":00000001FF\n";
            data.HexTarnovelleK7 = outcome == 'Q' || outcome == 'V' ? ":00000001FF\n" : "";
            world.Downloads.push_back(data);
        }
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        for (int i = 0; i < intervals.size(); ++i) {
            if (i > 0) {
                window.Timer_DownloadIntelHexTimer();
            }
            QCOMPARE(world.DownloadCalls, i + 1);
            QCOMPARE(probe.RetryTimerOn(), intervals[i] != 0);
            if (intervals[i] != 0) {
                QCOMPARE(probe.Timer("Timer_DownloadIntelHex")->interval(), intervals[i]);
            }
        }
        // The last download decides for good: a usable release enables Start and starts
        // nothing; two unusable files leave the window at "no data" without a further fetch.
        const bool usable = downloads.endsWith('V');
        QCOMPARE(probe.Message(), usable ? kReady : kNoData);
        QCOMPARE(probe.ButtonEnabled(), usable);
        QCOMPARE(world.StartCalls, 0);
        if (intervals.last() == 0) {
            window.Timer_DownloadIntelHexTimer();  // a tick queued before the timer stopped
            QCOMPARE(world.DownloadCalls, intervals.size());
        }
    }

    void oneFamilyOnlyIsEnough_data() {
        QTest::addColumn<QString>("quorvan");
        QTest::addColumn<QString>("tarnovelle");
        QTest::newRow("Quorvan") << "Version 01.02.03"
                                 << "";
        QTest::newRow("Tarnovelle") << ""
                                    << "Version 02.00.07";
    }

    void oneFamilyOnlyIsEnough() {
        QFETCH(QString, quorvan);
        QFETCH(QString, tarnovelle);
        FakeWorld world;
        world.Downloads = {Data(quorvan.toStdString(), tarnovelle.toStdString())};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        QCOMPARE(world.StartCalls, 1);
        QCOMPARE(probe.QuorvanVersion(), quorvan.isEmpty() ? "not available" : quorvan);
        QCOMPARE(probe.TarnovelleVersion(), tarnovelle.isEmpty() ? "not available" : tarnovelle);
        EndRun(window, true, 0, "Button_Exit");
    }

    void cancelTwiceIsHarmless() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseClick(probe.Button(), Qt::LeftButton);
        QTest::mouseClick(probe.Button(), Qt::LeftButton);
        QCOMPARE(world.LastWorker()->TerminateCalls, 2);
        QCOMPARE(world.StartCalls, 1);
        QCOMPARE(probe.ButtonText(), QString("Cancel"));
        QVERIFY(probe.ButtonEnabled());
        QVERIFY(probe.ShowsProgress());
        EndRun(window, true, 0, "Button_Exit");
    }

    void closingDuringARunIsRefusedAndExitClosesAfterIt() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QVERIFY(probe.ShowsProgress());

        EndRun(window, false, 2, "Button_Exit");
        QCOMPARE(window.Params().NextAction, int(NEXT_ACTION_EXIT));
        QVERIFY(!window.Params().ThreadRunning);
        QVERIFY(probe.ShowsMessage());
        QCOMPARE(probe.Message(), QString("Exit program."));
        QCOMPARE(probe.ButtonText(), QString("Start Update"));
        QVERIFY(!probe.ButtonEnabled());
        QVERIFY(SaveScreenshot(&window, "main_window_ending"));
        QVERIFY(probe.Timer("Timer_NextAction")->isActive());
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(world.StartCalls, 1);
    }

    void nextDeviceStartsTheNextRun() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};

        EndRun(window, false, 0, "Button_Start");
        QCOMPARE(window.Params().NextAction, int(NEXT_ACTION_START));
        QCOMPARE(probe.Message(), QString("Start Update."));
        QVERIFY(!probe.ButtonEnabled());
        QCOMPARE(world.StartCalls, 1);

        window.Timer_NextActionTimer();
        QCOMPARE(world.StartCalls, 2);
        QVERIFY(!probe.Timer("Timer_NextAction")->isActive());
        QVERIFY(probe.ShowsProgress());
        QCOMPARE(probe.ButtonText(), QString("Cancel"));
        // While that run is active the timer waits and starts nothing.
        probe.Timer("Timer_NextAction")->start();
        window.Timer_NextActionTimer();
        QVERIFY(probe.Timer("Timer_NextAction")->isActive());
        QCOMPARE(world.StartCalls, 2);
        EndRun(window, false, 0, "Button_Exit");
    }

    void noWorkerNoRun() {
        FakeWorld world;
        world.RefuseWorkers = true;
        world.Downloads = {Data("Version 01.02.03", "")};
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        QCOMPARE(world.StartCalls, 1);
        QVERIFY(!window.Params().ThreadRunning);
        QVERIFY(probe.ShowsMessage());
        QCOMPARE(probe.ButtonText(), QString("Start Update"));
        QVERIFY(probe.ButtonEnabled());
    }

    void aWorkerThatCannotStartLeavesTheWindowUsable_data() {
        QTest::addColumn<bool>("engineRefuses");
        QTest::newRow("the system refuses the worker's thread") << true;
        QTest::newRow("the worker service throws") << false;
    }

    void aWorkerThatCannotStartLeavesTheWindowUsable() {
        QFETCH(bool, engineRefuses);
        const auto refused = [] {
            return std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        };
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        world.StartInstead = [&](UpdateThreadOwner& owner, Dispatcher& dispatcher) -> ClTread* {
            if (!engineRefuses) {
                throw refused();
            }
            UpdateThreadSettings settings;
            settings.MakeCommandSet = MakeRealCommandSet;
            settings.TraceFileName = "";
            settings.LaunchThread = [&](std::function<void()>) -> std::thread { throw refused(); };
            return ClTread::Start(owner, dispatcher, settings);
        };
        // The first start, inside the constructor, fails: the window opens without a run.
        Program program(world);
        TForm_Main& window = program.Main();
        MainWindowProbe probe{&window};
        for (const int starts : {1, 2}) {
            QCOMPARE(world.StartCalls, starts);
            QVERIFY(!window.Params().ThreadRunning);
            QVERIFY(probe.ShowsMessage());
            QCOMPARE(probe.Message(), kReady);
            QCOMPARE(probe.ButtonText(), QString("Start Update"));
            QVERIFY(probe.ButtonEnabled());
            // Later, a click that cannot start a worker changes nothing either.
            QTest::mouseClick(probe.Button(), Qt::LeftButton);
        }
    }

    void windowsAreCreatedInTheProgramsOrder() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        // The first run starts inside the main window's constructor; its first event is served
        // only once the event loop runs, when both dialogs exist.
        std::vector<QString> seen;
        world.WorkerScript = [&](ScriptedWorker& worker) {
            worker.Run(&UpdateThreadOwner::ThreadFetchParams);
            worker.Terminate();
            worker.ReportEnd(0, "");
        };
        ModalAnswerer user;
        user.Then([&](QWidget* dialog) {
            seen.push_back(dialog->objectName());
            QTest::mouseClick(Child<QPushButton>(dialog, "Button_Exit"), Qt::LeftButton);
        });
        {
            ProgramWindows windows = CreateProgramWindows(world.Services());
            windows.Form_Main->show();
            QTRY_VERIFY(!windows.Form_Main->isVisible());
            QCOMPARE(seen, std::vector<QString>{"Form_MessageThreadEnd"});
        }
        QCOMPARE(world.JoinCalls, 1);
    }

    void aWindowTornDownDuringARunEndsItWithoutAskingTheUser() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "")};
        std::atomic<bool> asked{false};
        std::atomic<int> answer{-1};
        world.WorkerScript = [&](ScriptedWorker& worker) {
            worker.Run(&UpdateThreadOwner::ThreadFetchParams);
            asked = true;
            while (!worker.Terminated()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            answer = worker.Ask("Start Update?") ? 1 : 0;
            worker.ReportEnd(0, "");
        };
        {
            ProgramWindows windows = CreateProgramWindows(world.Services());
            QTRY_VERIFY(asked);
            QVERIFY(windows.Form_Main->Params().ThreadRunning);
        }
        // The window stopped the worker, answered its question with No and served its end.
        QCOMPARE(answer.load(), 0);
        QCOMPARE(world.JoinCalls, 1);
    }
};

QTEST_MAIN(MainWindowStatesTest)
#include "mainwindow_states_test.moc"
