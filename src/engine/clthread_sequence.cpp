#include <string>

#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "engine/updatesequence.h"
#include "engine/workerconnectparams.h"

namespace veltrin {

void ClTreadImpl::ConfigureConnection() {
    connection_->SelectTransport(TRANSPORT_SERIAL);
    connection_->SetParams(WorkerConnectParams());
}

void ClTreadImpl::Execute() {
    std::string endText;
    std::string port;
    int code = kUpdateOk;
    try {
        FetchParams();
        ConfigureConnection();
        SetTotalMax(100);
        SetTotalPosition(0);
        int type = DEVICE_UNKNOWN;
        code = SearchDevice(type, port);
        SetTotalPosition(1);
        if (!Terminated() && code == kUpdateOk) {
            code = IsSupportedType(type) ? RunUpdate(port, endText) : kUpdateUnsupportedDevice;
        }
    } catch (...) {
        // Out of memory or a failing handler: the run still ends through its end event.
        if (code == kUpdateOk)
            code = kUpdateWorkerFault;
    }
    // The device is left alone from here on; the end dialog may stay open for long.
    inhibitor_.reset();
    portLock_.reset();
    if (Terminated() || code != kUpdateOk)
        endText.clear();
    ReportEnd(code, endText);
}

int ClTreadImpl::RunUpdate(const std::string& port, std::string& endText) {
    SetActionPosition(0);
    ShowAction("");
    if (!hexReader_)
        return kUpdateNoHexReader;

    UpdateSequence sequence(*this, *connection_, *hexReader_);
    try {
        SelectPort(port);
        return sequence.Run(endText);
    } catch (...) {
        // Last resort: leave the device and its port as the regular exits would.
        if (sequence.InBootloaderPhase()) {
            connection_->SignalUpdateFailed();
            Params().LeftInBootloader = true;
        }
        connection_->Close();
        endText.clear();
        return kUpdateWorkerFault;
    }
}

}  // namespace veltrin
