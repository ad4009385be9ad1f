#include "simoptions.h"

namespace veltrin {

const char* SimFaultKindName(SimFaultKind kind) {
    switch (kind) {
        case SimFaultKind::Nak:
            return "nak";
        case SimFaultKind::Garbage:
            return "garbage";
        case SimFaultKind::BadChecksum:
            return "checksum";
        case SimFaultKind::Status:
            return "status";
        case SimFaultKind::Silence:
            return "silence";
        case SimFaultKind::HangUp:
            return "hangup";
        case SimFaultKind::ShortAnswer:
            return "short";
        case SimFaultKind::Unterminated:
            return "no-etx";
    }
    return "?";
}

}  // namespace veltrin
