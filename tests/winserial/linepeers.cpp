#include "linepeers.h"

namespace veltrin::winserial {

namespace {

const std::string kAck = "\x06";
const std::string kNak = "\x15";
const std::string kStx = "\x02";
const std::string kEtx = "\x03";

}  // namespace

bool ScriptLinePeer(const std::string& name, testsupport::ScriptedPeer& peer) {
    if (name == "WorkedExample") {
        // The request must arrive byte for byte as the protocol frames it: one STX, the length
        // prefix for 6 characters, the text, ETX.
        peer.Expect(kStx + "0600" + "0102AB" + kEtx).Reply(kAck + kStx + "0800AABBCCDD" + kEtx);
        return true;
    }
    if (name == "Nak") {
        peer.ExpectFrame().Reply(kNak);
        // The answer phase is skipped: the next frame comes straight after the NAK.
        peer.ExpectFrame().Reply(kAck + kStx + "0400BEEF" + kEtx);
        return true;
    }
    if (name == "Timeouts") {
        // No ACK at all, then an ACK followed by an answer that never brings its ETX; after each
        // the host must be ready for the next exchange.
        peer.ExpectFrame();
        peer.ExpectFrame().Reply(kAck + kStx + "0400AB");
        peer.ExpectFrame().Reply(kAck + kStx + "0400CAFE" + kEtx);
        return true;
    }
    if (name == "HangUp") {
        // Unplugged in the middle of the answer.
        peer.ExpectFrame().Reply(kAck + kStx + "08").Hangup();
        return true;
    }
    if (name == "WriteTimeout") {
        // A device that takes nothing in: the request fills the line and stops moving.
        return true;
    }
    return false;
}

}  // namespace veltrin::winserial
