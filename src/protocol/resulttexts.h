#pragma once

#include <cstdint>
#include <string>

#include "protocol/clconnectpipetten.h"

namespace veltrin {

class ClConnectAll;

// The one-line texts of the command set's vocabulary. Hexadecimal numbers are upper case with at
// least the stated digits; decimal numbers are signed.

// "MEM_EXT_FLASH", with withCode "MEM_EXT_FLASH - 0x0001"; unknown types get a fixed German
// fallback that ignores withCode.
std::string MemoryTypeText(int type, bool withCode);

// "[0x0A01] - text not supported": device statuses have no texts of their own.
std::string DeviceErrorText(std::uint16_t status);

// "ok", "Error device: ...", "Error connect: ..." or "Error WIN: ...". Connection and system
// texts come from the transport selected in the holder (empty when none is selected).
std::string ResultText(int code, bool withCode, ClConnectAll& holder);

// "Speicher: %15s / Startadresse: 0x%08X / Anzahl Bytes: %d".
std::string MemoryBlockText(const TSMemoryBlock& block, bool withCode);

}  // namespace veltrin
