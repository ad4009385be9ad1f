#pragma once

#include <string>
#include <vector>

#include "history/historyrecord.h"

namespace veltrin {

// Reads every record of a history file, oldest first. A damaged or half-written line is left
// out with a warning naming its line number ("line 7: not a JSON object"); the records after it
// are read as usual. A file that does not exist holds no records. Returns HISTORY_OK or
// HISTORY_ERR_READ (with the system's text in systemError).
int ReadHistoryFile(const std::string& fileName, std::vector<HistoryRecord>& records,
                    std::vector<std::string>& warnings, std::string& systemError);

// The same for text already in memory.
void ParseHistoryText(const std::string& text, std::vector<HistoryRecord>& records,
                      std::vector<std::string>& warnings);

}  // namespace veltrin
