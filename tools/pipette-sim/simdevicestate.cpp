#include "simdevicestate.h"

#include <algorithm>
#include <cstring>

#include "common/windows1252.h"

namespace veltrin {
namespace {

void PutUint16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void CopyField(std::uint8_t* at, const std::string& text, std::size_t width) {
    std::memcpy(at, text.data(), std::min(text.size(), width));
}

// Records start with the variant id; the rest is a recognisable pattern so a test can tell a
// record the host wrote from the one the device started with.
template <std::size_t N>
void FillRecord(std::array<std::uint8_t, N>& record, std::uint16_t variant, std::uint8_t seed) {
    for (std::size_t i = 2; i < N; ++i) {
        record[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    PutUint16(record.data(), variant);
}

}  // namespace

std::uint32_t SimDeviceState::BootField(std::size_t offset) const {
    return static_cast<std::uint32_t>(BootRecord[offset]) |
           static_cast<std::uint32_t>(BootRecord[offset + 1]) << 8 |
           static_cast<std::uint32_t>(BootRecord[offset + 2]) << 16 |
           static_cast<std::uint32_t>(BootRecord[offset + 3]) << 24;
}

void SimDeviceState::SetBootField(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        BootRecord[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint16_t SimDeviceState::Variant(const std::uint8_t* record) {
    return static_cast<std::uint16_t>(record[0] | record[1] << 8);
}

SimText MakeVersionBlock(const std::string& version, const std::string& name,
                         const std::string& date) {
    SimText block{};
    CopyField(block.data(), version, 8);
    CopyField(block.data() + 9, name, 12);
    CopyField(block.data() + 22, date, 8);
    return block;
}

SimText MakeText(const std::string& text) {
    SimText block{};
    CopyField(block.data(), Windows1252FromUtf8(text), kSimTextSize - 1);
    return block;
}

std::string TextOf(const SimText& text) {
    const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
    return std::string(text.begin(), end);
}

SimDeviceState MakeInitialState(const SimOptions& options) {
    SimDeviceState state;
    state.DeviceType = options.DeviceType;
    state.Mode = options.Mode;
    state.Battery = options.Battery;
    state.VersionText0 = MakeVersionBlock(options.Version0, "Application", "20240101");
    state.VersionText1 = MakeVersionBlock(options.Version1, "Bootloader", "20240101");
    state.InfoText = MakeText(options.InfoText);
    FillRecord(state.DeviceRecord, options.VariantId, 0x11);
    FillRecord(state.ConfigRecord, options.VariantId, 0x22);
    FillRecord(state.ParamRecord, options.VariantId, 0x33);
    state.LargestBlock = options.LargestBlock;
    state.NoMemoryInfo = options.NoMemoryInfo;

    // Bytes the host must leave alone read as erased flash, so a host that clears them shows.
    state.BootRecord.fill(0xFF);
    std::copy(state.VersionText1.begin(), state.VersionText1.end(), state.BootRecord.begin());
    state.BootRecord[31] = 0;
    state.SetBootState(kSimMarkerA5);
    state.SetBootSize(0x20000);
    state.SetAppState(options.Mode == 2 ? kSimMarker5A : kSimMarkerA5);
    return state;
}

int BootMode(const SimDeviceState& state) {
    return state.AppState() == kSimMarkerA5 && state.ApplicationComplete ? 1 : 2;
}

}  // namespace veltrin
