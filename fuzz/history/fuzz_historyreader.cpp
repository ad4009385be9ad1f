// Whatever a history file holds, reading it keeps every record it can and names every other
// line; a record read back is one the program can write out again and read to the same record,
// as JSON and as CSV.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "history/historyreader.h"
#include "history/historyrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<veltrin::HistoryRecord> records;
    std::vector<std::string> warnings;
    veltrin::ParseHistoryText(text, records, warnings);

    for (const veltrin::HistoryRecord& record : records) {
        const std::string json = veltrin::HistoryRecordToJson(record);
        veltrin::HistoryRecord again;
        std::string reason;
        if (json.empty() || json.size() > veltrin::kMaxHistoryLineBytes * 4 ||
            !veltrin::HistoryRecordFromJson(json, again, reason) ||
            veltrin::HistoryRecordToJson(again) != json) {
            std::abort();  // a record that does not survive its own round trip
        }
        for (const char separator : {',', ';'}) {
            const std::string csv = veltrin::HistoryCsvLine(record, separator);
            if (csv.size() < 2 || csv.compare(csv.size() - 2, 2, "\r\n") != 0)
                std::abort();
        }
    }
    return 0;
}
