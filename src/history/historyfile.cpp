#include "history/historyfile.h"

namespace veltrin {

const char* HistoryResultText(int code) {
    switch (code) {
        case HISTORY_OK:
            return "OK";
        case HISTORY_ERR_NO_LOCATION:
            return "no folder for the history";
        case HISTORY_ERR_FOLDER:
            return "cannot create the history folder";
        case HISTORY_ERR_OPEN:
            return "cannot open the history file";
        case HISTORY_ERR_LOCK:
            return "cannot lock the history file";
        case HISTORY_ERR_WRITE:
            return "cannot write the history file";
        case HISTORY_ERR_FLUSH:
            return "cannot flush the history file to disk";
        case HISTORY_ERR_READ:
            return "cannot read the history file";
        default:
            return "unknown history error";
    }
}

}  // namespace veltrin
