#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devicecommands.h"
#include "simoptions.h"

namespace veltrin {

// Boot record markers: BootState valid / AppState "start the application" and BootState
// invalid / AppState "stay in the bootloader".
constexpr std::uint32_t kSimMarkerA5 = 0xA5A5A5A5;
constexpr std::uint32_t kSimMarker5A = 0x5A5A5A5A;

// Field offsets inside the 64-byte boot record.
constexpr std::size_t kBootVersionOffset = 0;
constexpr std::size_t kBootStateOffset = 32;
constexpr std::size_t kBootSizeOffset = 48;
constexpr std::size_t kAppStateOffset = 56;

// Where the application carries its version block; a boot into the application reports it.
constexpr std::uint32_t kSimAppVersionAddress = 0x080FFF00;

// A record written by the host (WriteDeviceRecord, WriteParamRecord, WriteBootRecord,
// WriteConfigRecord), in arrival order.
struct SimRecordWrite {
    std::uint16_t Command = 0;
    std::vector<std::uint8_t> Data;
};

using SimText = std::array<std::uint8_t, kSimTextSize>;

// The device's state apart from its memories, plus counters of what the host asked for.
struct SimDeviceState {
    int DeviceType = 9;
    int Mode = 1;  // 1 application, 2 bootloader
    std::uint16_t Battery = 3;
    SimText VersionText0{};
    SimText VersionText1{};
    SimText InfoText{};
    std::array<std::uint8_t, kSimDeviceRecordSize> DeviceRecord{};
    std::array<std::uint8_t, kSimConfigRecordSize> ConfigRecord{};
    std::array<std::uint8_t, kSimParamRecordSize> ParamRecord{};
    std::array<std::uint8_t, kSimBootRecordSize> BootRecord{};
    std::uint16_t LargestBlock = 4096;
    bool NoMemoryInfo = false;
    // False from SetApplicationSize or the first internal-flash block until ShowUpdateSuccess:
    // a device whose application upload broke off stays in its bootloader whatever AppState says.
    bool ApplicationComplete = true;

    bool Plugged = false;
    bool Restarting = false;  // silent after RestartDevice
    std::string PortName;

    std::uint32_t Restarts = 0;  // RestartDevice answered
    std::uint32_t Boots = 0;     // boots after a restart or a re-plug
    std::uint32_t BeginUploads = 0;
    std::uint32_t UpdateSuccessShown = 0;
    std::uint32_t UpdateFailedSignalled = 0;
    std::vector<std::uint16_t> Progress;
    std::vector<std::uint32_t> ApplicationSizes;
    std::vector<SimRecordWrite> RecordWrites;

    std::uint32_t BootState() const { return BootField(kBootStateOffset); }
    std::uint32_t BootSize() const { return BootField(kBootSizeOffset); }
    std::uint32_t AppState() const { return BootField(kAppStateOffset); }
    void SetBootState(std::uint32_t value) { SetBootField(kBootStateOffset, value); }
    void SetBootSize(std::uint32_t value) { SetBootField(kBootSizeOffset, value); }
    void SetAppState(std::uint32_t value) { SetBootField(kAppStateOffset, value); }
    std::uint16_t DeviceRecordVariant() const { return Variant(DeviceRecord.data()); }
    std::uint16_t ConfigRecordVariant() const { return Variant(ConfigRecord.data()); }
    std::uint16_t ParamRecordVariant() const { return Variant(ParamRecord.data()); }

private:
    std::uint32_t BootField(std::size_t offset) const;
    void SetBootField(std::size_t offset, std::uint32_t value);
    static std::uint16_t Variant(const std::uint8_t* record);
};

// A 31-byte version block: the version text (bytes 0-7), a 12-character field (9-20) and an
// 8-character field (22-29), each zero-terminated; longer texts are cut.
SimText MakeVersionBlock(const std::string& version, const std::string& name,
                         const std::string& date);
// A zero-padded 31-byte text in the device's code page (Windows-1252), from UTF-8 as a command
// line or a test gives it.
SimText MakeText(const std::string& text);
// The text up to its first zero byte.
std::string TextOf(const SimText& text);

SimDeviceState MakeInitialState(const SimOptions& options);

// The mode a boot chooses: the application only when AppState asks for it and the application
// image is complete; the bootloader otherwise (also for an erased or unknown AppState).
int BootMode(const SimDeviceState& state);

}  // namespace veltrin
