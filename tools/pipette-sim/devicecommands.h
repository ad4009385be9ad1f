#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace veltrin {

// The device's own table of command codes. It is kept apart from the host's command set on
// purpose: a wrong code on either side then shows up as an unknown command in tests.
enum SimCommand : std::uint16_t {
    SIM_READ_DEVICE_ID = 0x0001,
    SIM_READ_DEVICE_MODE = 0x0002,
    SIM_READ_BATTERY_STATUS = 0x0003,
    SIM_READ_VERSION_TEXT = 0x0007,
    SIM_RESTART_DEVICE = 0x0016,
    SIM_READ_DEVICE_RECORD = 0x0052,
    SIM_WRITE_DEVICE_RECORD = 0x0053,
    SIM_READ_PARAM_RECORD = 0x0082,
    SIM_WRITE_PARAM_RECORD = 0x0083,
    SIM_READ_BOOT_RECORD = 0x00A0,
    SIM_WRITE_BOOT_RECORD = 0x00A1,
    SIM_READ_CONFIG_RECORD = 0x0120,
    SIM_WRITE_CONFIG_RECORD = 0x0121,
    SIM_READ_INFO_TEXT = 0x0200,
    SIM_READ_MEMORY_INFO = 0x0201,
    SIM_WRITE_MEMORY = 0x0202,
    SIM_BEGIN_UPLOAD = 0x0204,
    SIM_SHOW_UPDATE_SUCCESS = 0x0205,
    SIM_SIGNAL_UPDATE_FAILED = 0x0206,
    SIM_SET_PROGRESS = 0x0207,
    SIM_SET_APPLICATION_SIZE = 0x020A,
};

// Status words the simulated device answers. 0x0A01 is the one the host knows; the others are
// the simulator's own and only need to be non-zero and distinct.
constexpr std::uint16_t kSimStatusOk = 0x0000;
constexpr std::uint16_t kSimStatusUnknownCommand = 0x0101;
constexpr std::uint16_t kSimStatusBadLength = 0x0102;
constexpr std::uint16_t kSimStatusBadParameter = 0x0103;
constexpr std::uint16_t kSimStatusNoMemoryInfo = 0x0A01;

constexpr std::uint32_t kSimMessageCapacity = 4120;
constexpr std::uint32_t kSimMaxBlock = 4096;
constexpr std::uint32_t kSimDeviceRecordSize = 82;
constexpr std::uint32_t kSimConfigRecordSize = 144;
constexpr std::uint32_t kSimParamRecordSize = 338;
constexpr std::uint32_t kSimBootRecordSize = 64;
constexpr std::uint32_t kSimTextSize = 31;
constexpr int kSimMemoryTypeCount = 4;

// "WriteMemory" for 0x0202, or "0x1234" for a code the device does not know.
std::string SimCommandName(std::uint16_t code);
// Accepts a name as SimCommandName gives it (any case) or a number ("0x0202", "514").
std::optional<std::uint16_t> ParseSimCommand(const std::string& text);
// "int-flash", "ext-flash", "int-eeprom", "ext-eeprom"; "mem<N>" for others.
std::string SimMemoryName(int memoryType);

}  // namespace veltrin
