#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace veltrin {

// One update run that reached a device, as a lab keeps it: who ran what on which device and how
// it ended. Texts are UTF-8; bytes that are not are replaced when the record is written.
struct HistoryRecord {
    std::string Time;  // start of the run, UTC, "YYYY-MM-DDThh:mm:ssZ"
    std::string Program;
    std::string ProgramVersion;
    std::string Computer;
    std::string User;  // the account that ran the update; empty in records from before it was kept
    std::string Port;
    std::int32_t DeviceType = 0;
    std::string DeviceTypeText;
    std::string Family;
    std::string InfoText;      // what the device said of itself before the run
    std::string VersionText0;  // installed software
    std::string VersionText1;  // bootloader
    std::string FirmwareFile;
    std::string FirmwareVersion;
    std::string FirmwareSha256;
    std::string VariantFile;
    std::string VariantSha256;
    bool VariantFileRefused = false;  // named by the index, failed its checksum or signature
    bool UpdateDataVerified = false;  // signed by a trusted key and every file matched
    std::string UpdateDataKey;        // that key's SHA-256 fingerprint; empty when not verified
    std::optional<std::int32_t> VariantId;  // absent when the run never read it
    std::int32_t ResultCode = 0;
    std::string ResultText;
    bool Terminated = false;
    // Set when the run declined to rewrite its device (it was already on the release, or newer):
    // "up-to-date" or "newer-than-release". Such a run ends as a cancelled one, so readers that
    // do not know the field see it as that.
    std::string LeftAlone;
    std::int64_t DurationMs = 0;
};

// How a run ended, in one word a lab can filter on: "cancelled" when the user ended it (the
// result code is then usually 0), "failed" for any other code but 0, "success" otherwise; a
// record of a device left alone has its LeftAlone word instead of "cancelled".
// Taken from the code and the terminated flag, so records written before the word existed
// have it too.
const char* RunOutcome(bool terminated, std::int32_t resultCode);
const char* RecordOutcome(const HistoryRecord& record);

// The record as one line of JSON without its line break. Never throws.
std::string HistoryRecordToJson(const HistoryRecord& record);

// Reads a record from one line. False, with a reason, when the line is not a JSON object with
// at least the time and the result code. Never throws.
bool HistoryRecordFromJson(const std::string& line, HistoryRecord& record, std::string& reason);

// CSV (RFC 4180: quotes doubled, CRLF line ends) for a lab's own records system: the header line
// and one line per record, in the order of the JSON fields, cells split by separator (',' or
// ';' for a spreadsheet with German settings). A text cell that a spreadsheet would take for a
// formula (it starts with '=', '+', '-', '@', a tab or a carriage return) is written quoted
// with a leading single quote, so opening the file never runs what a device or file name holds.
// Never throw; a line that cannot be made is empty.
std::string HistoryCsvHeader(char separator = ',');
std::string HistoryCsvLine(const HistoryRecord& record, char separator = ',');

}  // namespace veltrin
