#include <QtGlobal>

#include "ui/tform_main.h"

// The window's part in the update history. The recorder does the work; the window only hands
// it what the worker reports, so the window's own behaviour stays as it is.

namespace veltrin {

void TForm_Main::ThreadReportDevice(TSThreadParams& params) {
    history_.DeviceReported(params.Device);
}

void TForm_Main::RecordRunInHistory(const TSThreadParams& params, bool terminated) {
    std::string error;
    if (history_.RunEnded(params.ResultCode, terminated, error) != 0) {
        // The update's result stands; the window has no place for this, stderr does.
        qWarning("Veltrin: the update history was not written: %s", error.c_str());
    }
}

}  // namespace veltrin
