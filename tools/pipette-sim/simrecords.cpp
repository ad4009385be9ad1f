#include "simrecords.h"

namespace veltrin {

const char* SimOutcomeName(SimOutcome outcome) {
    switch (outcome) {
        case SimOutcome::Answered:
            return "answered";
        case SimOutcome::BadFrame:
            return "bad-frame";
        case SimOutcome::Nak:
            return "nak";
        case SimOutcome::Garbage:
            return "garbage";
        case SimOutcome::BadChecksum:
            return "checksum";
        case SimOutcome::Status:
            return "status";
        case SimOutcome::Silence:
            return "silence";
        case SimOutcome::HangUp:
            return "hangup";
        case SimOutcome::ShortAnswer:
            return "short";
        case SimOutcome::Unterminated:
            return "no-etx";
    }
    return "?";
}

}  // namespace veltrin
