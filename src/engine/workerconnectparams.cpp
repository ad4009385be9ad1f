#include "engine/workerconnectparams.h"

namespace veltrin {

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

}  // namespace veltrin
