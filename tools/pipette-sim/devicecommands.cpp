#include "devicecommands.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace veltrin {
namespace {

struct CommandName {
    std::uint16_t Code;
    const char* Name;
};

constexpr CommandName kCommandNames[] = {
    {SIM_READ_DEVICE_ID, "ReadDeviceId"},
    {SIM_READ_DEVICE_MODE, "ReadDeviceMode"},
    {SIM_READ_BATTERY_STATUS, "ReadBatteryStatus"},
    {SIM_READ_VERSION_TEXT, "ReadVersionText"},
    {SIM_RESTART_DEVICE, "RestartDevice"},
    {SIM_READ_DEVICE_RECORD, "ReadDeviceRecord"},
    {SIM_WRITE_DEVICE_RECORD, "WriteDeviceRecord"},
    {SIM_READ_PARAM_RECORD, "ReadParamRecord"},
    {SIM_WRITE_PARAM_RECORD, "WriteParamRecord"},
    {SIM_READ_BOOT_RECORD, "ReadBootRecord"},
    {SIM_WRITE_BOOT_RECORD, "WriteBootRecord"},
    {SIM_READ_CONFIG_RECORD, "ReadConfigRecord"},
    {SIM_WRITE_CONFIG_RECORD, "WriteConfigRecord"},
    {SIM_READ_INFO_TEXT, "ReadInfoText"},
    {SIM_READ_MEMORY_INFO, "ReadMemoryInfo"},
    {SIM_WRITE_MEMORY, "WriteMemory"},
    {SIM_BEGIN_UPLOAD, "BeginUpload"},
    {SIM_SHOW_UPDATE_SUCCESS, "ShowUpdateSuccess"},
    {SIM_SIGNAL_UPDATE_FAILED, "SignalUpdateFailed"},
    {SIM_SET_PROGRESS, "SetProgress"},
    {SIM_SET_APPLICATION_SIZE, "SetApplicationSize"},
};

bool EqualNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

std::string SimCommandName(std::uint16_t code) {
    for (const CommandName& entry : kCommandNames) {
        if (entry.Code == code)
            return entry.Name;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
    return text;
}

std::optional<std::uint16_t> ParseSimCommand(const std::string& text) {
    for (const CommandName& entry : kCommandNames) {
        if (EqualNoCase(text, entry.Name))
            return entry.Code;
    }
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0' || value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string SimMemoryName(int memoryType) {
    switch (memoryType) {
        case 0:
            return "int-flash";
        case 1:
            return "ext-flash";
        case 2:
            return "int-eeprom";
        case 3:
            return "ext-eeprom";
        default:
            return "mem" + std::to_string(memoryType);
    }
}

}  // namespace veltrin
