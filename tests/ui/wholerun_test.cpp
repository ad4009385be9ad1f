// Whole update runs through the real window: the update data comes from a real HTTPS server on
// loopback with a certificate of the test's own CA, the worker updates a simulated pipette on a
// pseudo-terminal, and the test answers the dialogs through their buttons like a user.
#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "history/historyreader.h"
#include "crypto/sha256.h"
#include "mainwindowprobe.h"
#include "modalanswerer.h"
#include "pipettesimulator.h"
#include "sampledata.h"
#include "screenshot.h"
#include "support/httpstestserver.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"
#include "transport/portlock.h"
#include "ui/programwindows.h"
#include "windowlogic/updateservices.h"
#include "wiring/realtransports.h"
#include "records/variantrecords.h"

using namespace veltrin;

namespace {

constexpr int kRunTimeoutMs = 180000;
const QString kSuccessTail =
    " has been installed.\nUnplug the device.\n\nFor updating next device plug it into the USB "
    "port\nand start update.";

// What the user saw during one run.
struct Observed {
    std::vector<int> TotalValues;
    std::vector<int> ActionValues;
    QStringList Questions;
    QString EndCaption;
    QString Status;
    QString Error;
    QString Hint;
    QString StartCaption;
};

std::vector<std::uint8_t> ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Answers every question with Yes and the end dialog with "Exit Program", noting what they said.
void AnswerLikeAUser(ModalAnswerer& user, Observed& seen, int dialogs) {
    for (int i = 0; i < dialogs; ++i) {
        user.Then([&seen](QWidget* dialog) {
            if (dialog->objectName() == "Form_MessageThread") {
                seen.Questions << LabelText(dialog, "Label_Message");
                QTest::mouseClick(Child<QPushButton>(dialog, "Button_Yes"), Qt::LeftButton);
                return;
            }
            seen.EndCaption = dialog->windowTitle();
            seen.Status = LabelText(dialog, "Label_Status");
            seen.Error = LabelText(dialog, "Label_ErrorText");
            seen.Hint = LabelText(dialog, "Label_Message_Start");
            seen.StartCaption = Child<QPushButton>(dialog, "Button_Start")->text();
            SaveScreenshot(dialog,
                           "whole_run_end_dialog_" + QString(seen.EndCaption).replace(' ', '_'));
            QTest::mouseClick(Child<QPushButton>(dialog, "Button_Exit"), Qt::LeftButton);
        });
    }
}

bool Moved(const std::vector<int>& values) {
    return values.size() >= 3 && *std::max_element(values.begin(), values.end()) > 0;
}

}  // namespace

class WholeRunTest : public QObject {
    Q_OBJECT

private:
    test::TempDirectory folder_;
    std::string site_;
    test::TestCertificateFiles certificates_;
    std::unique_ptr<test::HttpsTestServer> server_;

    MainWindowServices Services(const PipetteSimulator& sim) {
        HttpsClientOptions client;
        client.CaFile = certificates_.CaCertFile;
        UpdateThreadSettings settings;
        settings.MakeCommandSet = MakeRealCommandSet;
        // Countdowns and restart waits at a hundredth of their length.
        settings.Sleeper = [](std::uint32_t milliseconds) {
            std::this_thread::sleep_for(std::chrono::microseconds(milliseconds * 10ull));
        };
        settings.OverridePorts = true;
        settings.Ports = {sim.PortName()};
        settings.TraceFileName = folder_.File("Protokoll.txt");
        MainWindowServices services =
            UpdateServices(server_->Origin() + "/pipette-update", client, settings);
        services.HistoryFile = HistoryFile();
        return services;
    }

    std::string HistoryFile() const { return folder_.File("state/history.jsonl"); }

    // The record the window appended for its last run.
    HistoryRecord LastRecord() const {
        std::vector<HistoryRecord> records;
        std::vector<std::string> warnings;
        std::string error;
        if (ReadHistoryFile(HistoryFile(), records, warnings, error) != 0 || records.empty() ||
            !warnings.empty()) {
            return {};
        }
        return records.back();
    }

    static SimOptions Pipette(int deviceType) {
        SimOptions options;
        options.DeviceType = deviceType;
        options.RestartSilenceMs = 30;
        return options;
    }

    static void Watch(TForm_Main& window, Observed& seen) {
        MainWindowProbe probe{&window};
        QObject::connect(probe.Bar("ProgressBar_Total"), &QProgressBar::valueChanged,
                         [&seen](int value) { seen.TotalValues.push_back(value); });
        QObject::connect(probe.Bar("ProgressBar_Action"), &QProgressBar::valueChanged,
                         [&seen](int value) { seen.ActionValues.push_back(value); });
    }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        const std::filesystem::path tls = folder_.Path() / "tls";
        site_ = (folder_.Path() / "site").string();
        QVERIFY(std::filesystem::create_directories(tls));
        QVERIFY(std::filesystem::create_directories(site_));
        std::string error;
        QVERIFY2(test::MakeTestCertificates(tls.string(), certificates_, &error), error.c_str());
        sample::SampleSetOptions data;
        data.Size = sample::SizeClass::Tiny;
        data.Firmware.Version = "01.02.03";
        const std::string written = sample::WriteSampleSet(site_, data);
        QVERIFY2(written.empty(), written.c_str());
        server_ = std::make_unique<test::HttpsTestServer>(certificates_);
        QVERIFY(server_->IsRunning());
        QVERIFY(server_->ServeDirectory("/pipette-update", site_));
    }

    void updatesAnElectronicPipette() {
        PipetteSimulator sim(Pipette(9));
        QCOMPARE(sim.Start(), 0);
        Observed seen;
        ModalAnswerer user;
        AnswerLikeAUser(user, seen, 2);

        ProgramWindows windows = CreateProgramWindows(Services(sim));
        TForm_Main& window = *windows.Form_Main;
        MainWindowProbe probe{&window};
        // Update data at hand: the run has started without a click.
        QVERIFY(window.Params().ThreadRunning);
        QCOMPARE(probe.QuorvanVersion(), QString("Version 01.02.03"));
        QCOMPARE(probe.TarnovelleVersion(), QString("Version 01.02.03"));
        QCOMPARE(probe.ButtonText(), QString("Cancel"));
        Watch(window, seen);
        bool pictured = false;
        QObject::connect(
            probe.Bar("ProgressBar_Total"), &QProgressBar::valueChanged, [&](int value) {
                if (!pictured && value * 2 >= probe.Bar("ProgressBar_Total")->maximum()) {
                    pictured = SaveScreenshot(&window, "whole_run_main_window");
                }
            });
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kRunTimeoutMs);

        QCOMPARE(
            seen.Questions,
            QStringList{"! Adjustments and other user data will be deleted.\n\nStart Update?"});
        QCOMPARE(seen.EndCaption, QString("Update finished"));
        QCOMPARE(seen.Status, QString("Update successful"));
        QCOMPARE(seen.Error, QString());
        QCOMPARE(seen.Hint, "Update Quorvan/plus Version 01.02.03" + kSuccessTail);
        QCOMPARE(seen.StartCaption, QString("Update next device"));
        QVERIFY(Moved(seen.TotalValues));
        QVERIFY(Moved(seen.ActionValues));
        QVERIFY(pictured);
        QCOMPARE(window.Params().NextAction, int(NEXT_ACTION_EXIT));

        // The device got the new firmware and its variant's records from the served file.
        const SimDeviceState state = sim.State();
        QCOMPARE(state.UpdateSuccessShown, 1u);
        QCOMPARE(state.Mode, 1);
        const std::vector<std::uint8_t> par = ReadFile(site_ + "/" + sample::kVariantFileName);
        MemoryByteSource source(par.data(), par.size());
        ClQuorvanVariants variants;
        QCOMPARE(variants.Load(source), 0);
        TSClQuorvanVariants_ParamRecord variant{};
        QVERIFY(variants.FindVariant(sim.Options().VariantId, variant));
        const ConfigRecordImage config = MakeConfigRecord(variant);
        const ParamRecordImage param = MakeParamRecord(variant);
        QVERIFY(std::equal(config.begin(), config.end(), state.ConfigRecord.begin()));
        QVERIFY(std::equal(param.begin(), param.end(), state.ParamRecord.begin()));

        // The lab's record of the run names the device and the very files that were served.
        const HistoryRecord record = LastRecord();
        QCOMPARE(record.Program, std::string("veltrin"));
        QCOMPARE(record.Port, sim.PortName());
        QCOMPARE(record.DeviceType, 9);
        QCOMPARE(record.InfoText, std::string("Pipette simulator"));
        QCOMPARE(record.ResultCode, 0);
        QCOMPARE(record.VariantId, std::optional<std::int32_t>(sim.Options().VariantId));
        const std::vector<std::uint8_t> firmware = ReadFile(site_ + "/" + record.FirmwareFile);
        QVERIFY(!firmware.empty());
        QCOMPARE(record.FirmwareSha256, Sha256Hex(firmware.data(), firmware.size()));
        QCOMPARE(record.VariantSha256, Sha256Hex(par.data(), par.size()));
    }

    // Another run (here: this process, like any other) holds the pipette's port: the window's
    // run ends at once with the open failure's texts and never opens the port.
    void aPipetteAnotherRunHoldsIsLeftAlone() {
        PipetteSimulator sim(Pipette(9));
        QCOMPARE(sim.Start(), 0);
        std::unique_ptr<PortLock> otherRun;
        PortLockHolder holder;
        QCOMPARE(AcquirePortLock(sim.PortName(), otherRun, holder), 0);
        Observed seen;
        ModalAnswerer user;
        AnswerLikeAUser(user, seen, 1);

        ProgramWindows windows = CreateProgramWindows(Services(sim));
        TForm_Main& window = *windows.Form_Main;
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kRunTimeoutMs);

        QCOMPARE(seen.Questions, QStringList());
        QCOMPARE(seen.EndCaption, QString("Update terminated"));
        QCOMPARE(seen.Error, QString("Exceptional error! (#19)"));
        QCOMPARE(seen.Hint, QString("Restart update or unplug the device."));
        QCOMPARE(seen.StartCaption, QString("Restart Update"));
        QVERIFY(sim.Requests().empty());
    }

    void cancelledDuringTheUpload() {
        PipetteSimulator sim(Pipette(6));
        QCOMPARE(sim.Start(), 0);
        Observed seen;
        ModalAnswerer user;
        AnswerLikeAUser(user, seen, 2);

        ProgramWindows windows = CreateProgramWindows(Services(sim));
        TForm_Main& window = *windows.Form_Main;
        MainWindowProbe probe{&window};
        Watch(window, seen);
        // The user presses Cancel as soon as the first block has been written.
        QString captionWhenCancelled;
        QObject::connect(probe.Bar("ProgressBar_Action"), &QProgressBar::valueChanged,
                         [&](int value) {
                             if (value > 0 && captionWhenCancelled.isEmpty()) {
                                 captionWhenCancelled = probe.ButtonText();
                                 QTimer::singleShot(0, &window, [&] {
                                     QTest::mouseClick(probe.Button(), Qt::LeftButton);
                                     QTest::mouseClick(probe.Button(), Qt::LeftButton);
                                 });
                             }
                         });
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kRunTimeoutMs);

        QCOMPARE(captionWhenCancelled, QString("Cancel"));
        QCOMPARE(seen.EndCaption, QString("Update terminated"));
        QCOMPARE(seen.Status, QString("The update was ended by the user"));
        QCOMPARE(seen.Error, QString());
        QCOMPARE(seen.Hint, QString("Restart update or unplug the device."));
        QCOMPARE(seen.StartCaption, QString("Restart Update"));
        QCOMPARE(sim.State().UpdateSuccessShown, 0u);

        const HistoryRecord record = LastRecord();
        QCOMPARE(record.DeviceType, 6);
        QVERIFY(record.Terminated);
        QCOMPARE(record.ResultText, std::string("The update was ended by the user"));
    }
};

QTEST_MAIN(WholeRunTest)
#include "wholerun_test.moc"
