#include "engine/pipettedevice.h"

#include <cstring>

#include "engine/updateresult.h"

namespace veltrin {

namespace {

// Fields of the 64-byte boot record that the update changes; every other byte stays as read.
constexpr std::size_t kBootVersionOffset = 0;
constexpr std::size_t kBootVersionSize = 31;
constexpr std::size_t kBootStateOffset = 32;
constexpr std::size_t kBootSizeOffset = 48;
constexpr std::size_t kAppStateOffset = 56;

constexpr std::uint32_t kMarkerSet = 0xA5A5A5A5;    // image valid / start the application
constexpr std::uint32_t kMarkerClear = 0x5A5A5A5A;  // image invalid / stay in the bootloader

void PutUint32(std::uint8_t* record, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void Invalidate(std::uint8_t* record, std::uint32_t, const std::uint8_t*) {
    PutUint32(record, kBootStateOffset, kMarkerClear);
    PutUint32(record, kBootSizeOffset, 0);
    std::memset(record + kBootVersionOffset, 0, kBootVersionSize);
}

void Validate(std::uint8_t* record, std::uint32_t size, const std::uint8_t* version) {
    PutUint32(record, kBootStateOffset, kMarkerSet);
    PutUint32(record, kBootSizeOffset, size);
    std::memcpy(record + kBootVersionOffset, version, kBootVersionSize);
}

void StayInBootloader(std::uint8_t* record, std::uint32_t, const std::uint8_t*) {
    PutUint32(record, kAppStateOffset, kMarkerClear);
}

void StartApplication(std::uint8_t* record, std::uint32_t, const std::uint8_t*) {
    PutUint32(record, kAppStateOffset, kMarkerSet);
}

}  // namespace

int PipetteDevice::ChangeBootRecord(void (*change)(std::uint8_t*, std::uint32_t,
                                                   const std::uint8_t*),
                                    std::uint32_t size, const std::uint8_t* version) {
    std::uint8_t record[kBootRecordSize] = {};
    if (connection_.ReadBootRecord(record) != 0)
        return kUpdateReadBootRecordFailed;
    change(record, size, version);
    if (connection_.WriteBootRecord(record) != 0)
        return kUpdateWriteBootRecordFailed;
    return kUpdateOk;
}

int PipetteDevice::InvalidateBootloader() {
    return ChangeBootRecord(&Invalidate, 0, nullptr);
}

int PipetteDevice::ValidateBootloader(std::uint32_t size, const std::uint8_t* versionBlock) {
    return ChangeBootRecord(&Validate, size, versionBlock);
}

int PipetteDevice::SetStayInBootloader() {
    return ChangeBootRecord(&StayInBootloader, 0, nullptr);
}

int PipetteDevice::SetStartApplication() {
    return ChangeBootRecord(&StartApplication, 0, nullptr);
}

}  // namespace veltrin
