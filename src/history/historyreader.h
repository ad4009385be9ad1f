#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "history/historyrecord.h"

namespace veltrin {

// A record is well under a kilobyte; a longer line is damage (or a file that is no history),
// and is skipped without being held in memory.
constexpr std::size_t kMaxHistoryLineBytes = 64 * 1024;

// Reads every record of a history file, oldest first. A damaged or half-written line is left
// out with a warning naming its line number ("line 7: not a JSON object"); so is a line longer
// than kMaxHistoryLineBytes. The records after it are read as usual. A file that does not
// exist holds no records. Returns HISTORY_OK or HISTORY_ERR_READ (with the system's text in
// systemError).
int ReadHistoryFile(const std::string& fileName, std::vector<HistoryRecord>& records,
                    std::vector<std::string>& warnings, std::string& systemError);

// The same for text already in memory.
void ParseHistoryText(const std::string& text, std::vector<HistoryRecord>& records,
                      std::vector<std::string>& warnings);

}  // namespace veltrin
