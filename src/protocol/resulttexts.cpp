#include "protocol/resulttexts.h"

#include <cstdio>

#include "common/texttrim.h"
#include "protocol/clconnectall.h"
#include "protocol/connecterrors.h"
#include "protocol/devicetypes.h"

namespace veltrin {

namespace {

constexpr std::uint32_t kTextBufferSize = 256;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[160] = {};
    std::snprintf(text, sizeof(text), format, args...);
    return text;
}

const char* MemoryTypeName(int type) {
    switch (type) {
        case MEM_INT_FLASH:
            return "MEM_INT_FLASH";
        case MEM_EXT_FLASH:
            return "MEM_EXT_FLASH";
        case MEM_INT_EEPROM:
            return "MEM_INT_EEPROM";
        case MEM_EXT_EEPROM:
            return "MEM_EXT_EEPROM";
        default:
            return nullptr;
    }
}

std::string ConnectionErrorText(int code, bool withCode, ClConnectAll& holder) {
    const unsigned hex = static_cast<unsigned>(code);
    std::string text = withCode ? Format("[0x%08X] - ", hex) : std::string();
    char buffer[kTextBufferSize] = {};
    holder.GetErrorText(buffer, kTextBufferSize, code);
    text += buffer;
    if (text.empty())
        text = Format("[0x%08X] - Text not supported", hex);
    return "Error connect: " + TrimText(text);
}

std::string SystemErrorText(int number, bool withCode, ClConnectAll& holder) {
    std::string text = withCode ? Format("[%d] - ", number) : std::string();
    char buffer[kTextBufferSize] = {};
    holder.GetSystemErrorText(buffer, kTextBufferSize, number);
    text += buffer;
    if (text.empty())
        text = Format("[%d] - Text not supported", number);
    // Trimming also removes the line end that system texts may carry.
    return "Error WIN: " + TrimText(text);
}

}  // namespace

std::string MemoryTypeText(int type, bool withCode) {
    const unsigned hex = static_cast<unsigned>(type);
    const char* name = MemoryTypeName(type);
    if (name == nullptr)
        return Format("kein Text verfügbar für den Wert 0x%04X", hex);
    if (!withCode)
        return name;
    return Format("%s - 0x%04X", name, hex);
}

std::string DeviceErrorText(std::uint16_t status) {
    return Format("[0x%04X] - text not supported", static_cast<unsigned>(status));
}

std::string ResultText(int code, bool withCode, ClConnectAll& holder) {
    if (code == CONNECT_OK)
        return "ok";
    if (IsDeviceStatus(code)) {
        return "Error device: " +
               DeviceErrorText(static_cast<std::uint16_t>(static_cast<unsigned>(code) & 0xFFFFu));
    }
    if (IsConnectionError(code))
        return ConnectionErrorText(code, withCode, holder);
    return SystemErrorText(code, withCode, holder);
}

std::string MemoryBlockText(const TSMemoryBlock& block, bool withCode) {
    const std::string type = MemoryTypeText(block.MemoryType, withCode);
    char text[256] = {};
    std::snprintf(text, sizeof(text), "Speicher: %15s / Startadresse: 0x%08X / Anzahl Bytes: %d",
                  type.c_str(), static_cast<unsigned>(block.Address),
                  static_cast<int>(block.Count));
    return text;
}

}  // namespace veltrin
