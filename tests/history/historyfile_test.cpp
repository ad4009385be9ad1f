// The history file: appends from several writers at once, damaged lines, records as JSON and CSV.
#include "history/historyfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "history/historyreader.h"
#include "history/historyrecord.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

HistoryRecord SampleRecord(int number, std::size_t infoLength = 20) {
    HistoryRecord record;
    record.Time = "2026-12-09T12:00:00Z";
    record.Program = "veltrin-cli";
    record.Port = "pts/" + std::to_string(number);
    record.DeviceType = 10;
    record.InfoText = std::string(infoLength, 'x') + " #" + std::to_string(number);
    record.VariantId = number;
    record.ResultCode = number % 42;
    record.ResultText = "text, with \"quotes\"";
    record.DurationMs = number * 10;
    return record;
}

class HistoryFileTest : public ::testing::Test {
protected:
    void Append(const HistoryRecord& record) {
        std::string error;
        ASSERT_EQ(AppendHistoryLine(file_, HistoryRecordToJson(record), error), HISTORY_OK)
            << error;
    }

    void Read(std::vector<HistoryRecord>& records, std::vector<std::string>& warnings) {
        std::string error;
        ASSERT_EQ(ReadHistoryFile(file_, records, warnings, error), HISTORY_OK) << error;
    }

    test::TempDirectory dir_;
    // A folder that does not exist yet: the first record creates it.
    std::string file_ = (dir_.Path() / "state" / "veltrin" / "history.jsonl").string();
};

TEST_F(HistoryFileTest, WritersAtOnceLoseNoRecordAndMixNoLines) {
    // Lines far longer than any atomic write size, so only the lock keeps them whole.
    constexpr int kWriters = 4;
    constexpr int kRecordsEach = 50;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([this, w] {
            for (int i = 0; i < kRecordsEach; ++i) {
                std::string error;
                const HistoryRecord record = SampleRecord(w * kRecordsEach + i, 60000);
                EXPECT_EQ(AppendHistoryLine(file_, HistoryRecordToJson(record), error), HISTORY_OK)
                    << error;
            }
        });
    }
    for (auto& writer : writers)
        writer.join();

    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    Read(records, warnings);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kWriters * kRecordsEach));
    std::set<std::int32_t> seen;
    for (const auto& record : records) {
        ASSERT_TRUE(record.VariantId.has_value());
        EXPECT_EQ(record.InfoText, SampleRecord(*record.VariantId, 60000).InfoText);
        seen.insert(*record.VariantId);
    }
    EXPECT_EQ(seen.size(), records.size());
}

TEST_F(HistoryFileTest, DamagedLinesAreSkippedWithTheirNumbersAndHideNothing) {
    Append(SampleRecord(1));
    {
        std::ofstream file(file_, std::ios::binary | std::ios::app);
        file << "this is no JSON\n"
             << "{\"time\": 5, \"result_code\": 0}\n"
             << "\n"
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":0,\"port\":7}\n"
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"res"  // a writer died mid-line
             << "\n"
             // Numbers that are no whole number of their field's range.
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":5.6e78}\n"
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":0,\"duration_ms\":2.5}\n"
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":4294967296}\n"
             << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":0,\"variant_id\":-2147483649}";
    }
    // The next record must not be glued to the half-written line.
    Append(SampleRecord(2));
    Append(SampleRecord(3));

    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    Read(records, warnings);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Port, "pts/1");
    EXPECT_EQ(records[1].Port, "pts/2");
    EXPECT_EQ(records[2].Port, "pts/3");
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "line 2: not a JSON object", "line 3: no time or result code",
                            "line 5: a field has the wrong type", "line 6: not a JSON object",
                            "line 7: no time or result code", "line 8: a field has the wrong type",
                            "line 9: a field has the wrong type",
                            "line 10: a field has the wrong type"}));
}

TEST_F(HistoryFileTest, RecordsSurviveTheirRoundTripAlsoWithBytesThatAreNotUtf8) {
    HistoryRecord record = SampleRecord(7);
    record.InfoText = "Pip\xE9tte \xFF";
    record.VariantId.reset();
    Append(record);
    Append(SampleRecord(8));

    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    Read(records, warnings);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(records[0].InfoText, "Pip\xEF\xBF\xBDtte \xEF\xBF\xBD");  // U+FFFD each
    EXPECT_FALSE(records[0].VariantId.has_value());
    EXPECT_EQ(HistoryRecordToJson(records[1]), HistoryRecordToJson(SampleRecord(8)));
}

TEST_F(HistoryFileTest, CsvQuotesWhatWouldSplitACell) {
    const std::string line = HistoryCsvLine(SampleRecord(3));
    EXPECT_EQ(HistoryCsvHeader().rfind("time,program,program_version,computer,user,port,", 0), 0u);
    EXPECT_NE(line.find(",\"text, with \"\"quotes\"\"\",false,failed,30,\r\n"), std::string::npos)
        << line;
    EXPECT_NE(line.find(",pts/3,10,"), std::string::npos) << line;
}

// A spreadsheet must show what a device or a file name says, never run it as a formula.
TEST_F(HistoryFileTest, CsvCellsThatLookLikeFormulasAreQuotedWithALeadingQuote) {
    const std::pair<const char*, const char*> cells[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+1", "\"'+1\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""},
        {"a=1; b", "\"a=1; b\""},  // quoted only where ';' separates
        {"Lab 3", "Lab 3"},
    };
    for (const auto& [text, cell] : cells) {
        HistoryRecord record = SampleRecord(1);
        record.Port = text;
        record.DeviceType = -1;  // a number stays a number
        const std::string separator = std::string(text).find(';') != std::string::npos ? ";" : ",";
        const std::string line = HistoryCsvLine(record, separator[0]);
        EXPECT_NE(line.find(separator + cell + separator + "-1" + separator), std::string::npos)
            << text << " in " << line;
    }
    EXPECT_EQ(HistoryCsvHeader(';').rfind("time;program;program_version;", 0), 0u);
}

TEST(RecordOutcomeTest, IsCancelledFailedOrSuccessInTheEndDialogsOrder) {
    struct Case {
        std::int32_t Code;
        bool Terminated;
        const char* Outcome;
    };
    for (const Case& c :
         {Case{0, false, "success"}, Case{0, true, "cancelled"}, Case{11, true, "cancelled"},
          Case{6, false, "failed"}, Case{-5, false, "failed"}}) {
        HistoryRecord record;
        record.Time = "2026-12-09T12:00:00Z";
        record.ResultCode = c.Code;
        record.Terminated = c.Terminated;
        EXPECT_EQ(std::string(RecordOutcome(record)), c.Outcome) << c.Code;
        // Written with the record, and derived again when read (older records lack it).
        const std::string json = HistoryRecordToJson(record);
        EXPECT_NE(json.find(std::string("\"outcome\":\"") + c.Outcome + "\""), std::string::npos);
        HistoryRecord read;
        std::string reason;
        ASSERT_TRUE(HistoryRecordFromJson(
            "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":" + std::to_string(c.Code) +
                ",\"terminated\":" + (c.Terminated ? "true" : "false") + "}",
            read, reason));
        EXPECT_EQ(std::string(RecordOutcome(read)), c.Outcome);
    }
}

// One line of a damaged or foreign file may be huge: it is skipped without being held whole,
// and the records around it (also one that spans the reader's chunks) are read as usual.
TEST_F(HistoryFileTest, AnOverlongLineIsSkippedWithAWarning) {
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path());
    {
        std::ofstream file(file_, std::ios::binary);
        // Just under the limit, whatever fields a record gains: it fills the first chunk.
        const std::size_t fill =
            kMaxHistoryLineBytes - HistoryRecordToJson(SampleRecord(1, 0)).size() - 64;
        file << HistoryRecordToJson(SampleRecord(1, fill)) << '\n';
        file << std::string(3 * kMaxHistoryLineBytes, 'x') << '\n';
        file << "{\"time\":\"2026-12-09T12:00:00Z\",\"result_code\":0,\"info_text\":\""
             << std::string(kMaxHistoryLineBytes, 'y') << "\"}\r\n";
        file << HistoryRecordToJson(SampleRecord(2)) << "\r\n";
        file << std::string(kMaxHistoryLineBytes + 1, 'z');  // no line end at the end
    }
    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    Read(records, warnings);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Port, "pts/1");
    EXPECT_EQ(records[1].Port, "pts/2");
    EXPECT_EQ(warnings, (std::vector<std::string>{"line 2: longer than 65536 bytes",
                                                  "line 3: longer than 65536 bytes",
                                                  "line 5: longer than 65536 bytes"}));
}

TEST_F(HistoryFileTest, AFolderThatCannotBeMadeIsAnErrorCodeNotAnException) {
    const std::string blocker = (dir_.Path() / "plain-file").string();
    ASSERT_TRUE(test::WriteFileText(blocker, "x"));
    std::string error;
    EXPECT_EQ(AppendHistoryLine(blocker + "/veltrin/history.jsonl", "{}", error),
              HISTORY_ERR_FOLDER);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(AppendHistoryLine("", "{}", error), HISTORY_ERR_NO_LOCATION);
}

TEST_F(HistoryFileTest, AMissingFileHoldsNoRecords) {
    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    Read(records, warnings);
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(warnings.empty());
}

}  // namespace
}  // namespace veltrin
