#pragma once

#include <string>

namespace veltrin {

// Result codes of the history file operations; 0 = success.
enum HistoryFileResult : int {
    HISTORY_OK = 0,
    HISTORY_ERR_NO_LOCATION = 1,  // neither the state folder's variable nor a home folder is set
    HISTORY_ERR_FOLDER = 2,       // the folder could not be created
    HISTORY_ERR_OPEN = 3,
    HISTORY_ERR_LOCK = 4,
    HISTORY_ERR_WRITE = 5,
    HISTORY_ERR_FLUSH = 6,  // the line was written but could not be made durable
    HISTORY_ERR_READ = 7,
};

const char* HistoryResultText(int code);

// The history file in the user's state folder: $XDG_STATE_HOME/veltrin/history.jsonl (default
// ~/.local/state/veltrin/) on Linux, %LOCALAPPDATA%\Veltrin\history.jsonl on Windows. Empty when
// the system names no such folder.
std::string DefaultHistoryFile();

// HISTORY_ERR_NO_LOCATION in words, naming what the user can set so the records are kept.
std::string NoHistoryLocationText();

// The computer's name as the system reports it; empty when unknown.
std::string ComputerName();

// The name of the account the program runs under, as the system reports it; empty when
// unknown.
std::string AccountName();

// Appends line (without its line break) as one record to the file, creating the file and its
// folder when missing. Several processes and threads may append at once: the whole line goes
// out in one locked append and is flushed to the disk before the lock is released. When the
// file ends in a half-written line (a writer that died), the record starts on a line of its own
// so that it is never glued to the damage. systemError receives the system's text on failure.
int AppendHistoryLine(const std::string& fileName, const std::string& line,
                      std::string& systemError);

}  // namespace veltrin
