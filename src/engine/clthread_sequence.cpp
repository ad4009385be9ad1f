#include <string>

#include "engine/clthreadimpl.h"
#include "engine/devicefamily.h"
#include "engine/updateresult.h"
#include "engine/updatesequence.h"

namespace veltrin {

namespace {

constexpr int kSerialTransport = 2;

// The pipettes' line settings: 230400 baud 8N1, CRC-16/ARC both ways with 2-byte length
// prefixes, 3 attempts, 3 s for the acknowledge and 10 s per answer byte.
TSConnectParams WorkerConnectParams() {
    TSConnectParams params;
    params.TxChecksum = kChecksumCrc16Arc;
    params.TxLengthBytes = 2;
    params.Attempts = 3;
    params.StxCount = 1;
    params.PrefixDelay = 1;
    params.RetryDelay = 10;
    params.RxChecksum = kChecksumCrc16Arc;
    params.RxLengthBytes = 2;
    params.AckTimeout = 3000;
    params.AnswerTimeout = 10000;
    params.TraceFile = nullptr;
    params.IrdaSendTimeout = 0;
    params.IrdaReceiveTimeout = 0;
    params.IrdaAnswerDelay = 0;
    params.BaudRate = 230400;
    params.DataBits = 8;
    params.StopBits = 0;
    params.Parity = 0;
    params.Reserved1 = 0;
    params.Reserved2 = 0;
    params.Reserved3 = 0;
    params.Reserved4 = 1;
    params.Reserved5 = 1;
    params.Reserved6 = 10;
    params.Reserved7 = 0;
    params.Reserved8 = 0;
    return params;
}

}  // namespace

void ClTreadImpl::ConfigureConnection() {
    device_->SelectTransport(kSerialTransport);
    device_->SetParams(WorkerConnectParams());
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
    if (Terminated() || code != kUpdateOk)
        endText.clear();
    ReportEnd(code, endText);
}

int ClTreadImpl::RunUpdate(const std::string& port, std::string& endText) {
    SetActionPosition(0);
    ShowAction("");
    if (!hexReader_)
        return kUpdateNoHexReader;

    UpdateSequence sequence(*this, *device_, *hexReader_);
    try {
        return sequence.Run(port, endText);
    } catch (...) {
        // Last resort: leave the device and its port as the regular exits would.
        if (sequence.InBootloaderPhase())
            device_->SignalUpdateFailed();
        device_->Close();
        endText.clear();
        return kUpdateWorkerFault;
    }
}

}  // namespace veltrin
