// What the window and the command-line front end record for a run.
#include "history/historyrecorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/historyfile.h"
#include "history/historyreader.h"
#include "crypto/sha256.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

class HistoryRecorderTest : public ::testing::Test {
protected:
    HistoryRecorderTest() {
        data_.HexQuorvanOtg = ":00000001FF\n";
        data_.VersionQuorvanOtg = "Version 04.05.06";
        data_.FileNameQuorvanOtg = "Quorvan_OTG_V04.05.06.hex";
        data_.HexTarnovelleK7 = ":00000001FF\r\n";
        data_.VersionTarnovelleK7 = "";
        data_.FileNameTarnovelleK7 = "Tarnovelle_K7_V04.05.06.hex";
        data_.FileNameVariants = "quorvan_variants.par";
        data_.VariantFileBytes = {1, 2, 3};
        recorder_.NoteUpdateData(data_);
    }

    std::vector<HistoryRecord> Records() {
        std::vector<HistoryRecord> records;
        std::vector<std::string> warnings;
        std::string error;
        EXPECT_EQ(ReadHistoryFile(file_, records, warnings, error), HISTORY_OK);
        EXPECT_TRUE(warnings.empty());
        return records;
    }

    static TSDeviceReport Device(int type) {
        TSDeviceReport device;
        device.Port = "ttyACM0";
        device.DeviceType = type;
        device.InfoText = "Lab 3 pipette";
        device.VersionText0 = "01.00.00 Application 20240101";
        device.VersionText1 = "01.00.00 Bootloader 20240101";
        return device;
    }

    test::TempDirectory dir_;
    std::string file_ = dir_.File("history.jsonl");
    UpdateData data_;
    UpdateHistoryRecorder recorder_{"veltrin", file_};
};

TEST_F(HistoryRecorderTest, ARunThatReachedADeviceIsRecordedWithItsFiles) {
    recorder_.RunStarted();
    TSDeviceReport device = Device(10);
    recorder_.DeviceReported(device);
    device.HasVariantId = true;
    device.VariantId = 0x130;
    recorder_.DeviceReported(device);  // the later report carries everything
    std::string error;
    ASSERT_EQ(recorder_.RunEnded(0, false, error), HISTORY_OK) << error;

    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    const HistoryRecord& r = records[0];
    EXPECT_EQ(r.Program, "veltrin");
    EXPECT_EQ(r.ProgramVersion, ProgramVersionText());
    EXPECT_EQ(r.Computer, ComputerName());
    EXPECT_EQ(r.Port, "ttyACM0");
    EXPECT_EQ(r.Family, "Quorvan/plus");
    EXPECT_EQ(r.InfoText, "Lab 3 pipette");
    EXPECT_EQ(r.VersionText1, "01.00.00 Bootloader 20240101");
    EXPECT_EQ(r.FirmwareFile, "Quorvan_OTG_V04.05.06.hex");
    EXPECT_EQ(r.FirmwareVersion, "04.05.06");
    EXPECT_EQ(r.FirmwareSha256, Sha256Hex(data_.HexQuorvanOtg.data(), data_.HexQuorvanOtg.size()));
    EXPECT_EQ(r.VariantFile, "quorvan_variants.par");
    EXPECT_EQ(r.VariantSha256, Sha256Hex(data_.VariantFileBytes.data(), 3));
    EXPECT_EQ(r.VariantId, 0x130);
    EXPECT_EQ(r.ResultText, "Update successful");
    EXPECT_EQ(r.Time.size(), 20u);
    EXPECT_EQ(r.Time.back(), 'Z');
}

struct EndCase {
    const char* Name;
    int DeviceType;
    std::int32_t Code;
    bool Terminated;
    const char* ResultText;
    const char* FirmwareVersion;
};

class HistoryRecorderEndTest : public HistoryRecorderTest,
                               public ::testing::WithParamInterface<EndCase> {};

TEST_P(HistoryRecorderEndTest, KeepsTheResultInWordsAndTheFamilysFirmware) {
    const EndCase& c = GetParam();
    recorder_.RunStarted();
    recorder_.DeviceReported(Device(c.DeviceType));
    std::string error;
    ASSERT_EQ(recorder_.RunEnded(c.Code, c.Terminated, error), HISTORY_OK);
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ResultCode, c.Code);
    EXPECT_EQ(records[0].Terminated, c.Terminated);
    EXPECT_EQ(records[0].ResultText, c.ResultText);
    EXPECT_EQ(records[0].FirmwareVersion, c.FirmwareVersion);
    // The variant file belongs to the electronic pipette only.
    EXPECT_EQ(records[0].VariantFile.empty(), c.DeviceType < 9);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, HistoryRecorderEndTest,
    ::testing::Values(
        EndCase{"Cancelled", 9, 0, true, "The update was ended by the user", "04.05.06"},
        EndCase{"BatteryLow", 11, 6, false,
                "The battery status is too low to carry out the update!", "04.05.06"},
        EndCase{"DispensingWithoutFirmware", 6, 5, false,
                "Update Tarnovelle K7/K7x impossible - no data available!", ""},
        EndCase{"WriteFailed", 7, 11, false, "Exceptional error! (#11)", ""}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.Name; });

TEST_F(HistoryRecorderTest, ARunWithoutADeviceLeavesNoRecord) {
    recorder_.RunStarted();
    std::string error;
    EXPECT_EQ(recorder_.RunEnded(2, false, error), HISTORY_OK);
    // The device of an earlier run does not carry over into the next one.
    recorder_.RunStarted();
    recorder_.DeviceReported(Device(9));
    EXPECT_EQ(recorder_.RunEnded(0, false, error), HISTORY_OK);
    recorder_.RunStarted();
    EXPECT_EQ(recorder_.RunEnded(3, false, error), HISTORY_OK);
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(HistoryRecorderTest, AFileThatCannotBeWrittenIsReportedInWords) {
    ASSERT_TRUE(test::WriteFileText(dir_.File("blocker"), "x"));
    UpdateHistoryRecorder recorder("veltrin-cli", dir_.File("blocker") + "/history.jsonl");
    recorder.RunStarted();
    recorder.DeviceReported(Device(9));
    std::string error;
    EXPECT_EQ(recorder.RunEnded(0, false, error), HISTORY_ERR_FOLDER);
    EXPECT_NE(error.find("cannot create the history folder"), std::string::npos) << error;
}

// Without a folder for the history a run's record is lost, and that is said every time.
TEST_F(HistoryRecorderTest, NoFolderForTheHistoryIsReportedForEachRunThatHasARecord) {
    UpdateHistoryRecorder recorder("veltrin-cli", "");
    std::string error;
    for (int run = 0; run < 2; ++run) {
        recorder.RunStarted();
        EXPECT_FALSE(recorder.RecordDue());
        EXPECT_EQ(recorder.RunEnded(2, false, error), HISTORY_OK);  // no device: no record
        recorder.RunStarted();
        recorder.DeviceReported(Device(9));
        EXPECT_TRUE(recorder.RecordDue());
        EXPECT_EQ(recorder.RunEnded(0, false, error), HISTORY_ERR_NO_LOCATION);
        EXPECT_EQ(error, NoHistoryLocationText());
        EXPECT_FALSE(recorder.RecordDue());
    }
}

TEST(UtcTimeTextTest, WritesIsoTimeInUtc) {
    using namespace std::chrono;
    EXPECT_EQ(UtcTimeText(system_clock::time_point{}), "1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcTimeText(sys_days{year{2024} / February / 29} + hours{23} + minutes{59} +
                          seconds{58} + milliseconds{999}),
              "2024-02-29T23:59:58Z");
}

}  // namespace
}  // namespace veltrin
