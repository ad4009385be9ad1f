#pragma once

#include <cstdint>

namespace veltrin {

// Device types as ReadDeviceId reports them.
enum DeviceType : std::int32_t {
    DEVICE_UNKNOWN = 0,
    DEVICE_CORVENT_ATM_IRDA = 1,
    DEVICE_CORVENT_CM3_IRDA = 2,
    DEVICE_QUORVAN_IRDA_BAS = 3,
    DEVICE_QUORVAN_USB_BAS = 4,
    DEVICE_QUORVAN_USB_PLUS = 5,
    DEVICE_CORVENT_USB_K7 = 6,
    DEVICE_CORVENT_USB_K7X = 7,
    DEVICE_QUORVAN_USB_PLUS_HVM = 8,
    DEVICE_QUORVAN_USB_OTG_BAS = 9,
    DEVICE_QUORVAN_USB_OTG_PLUS = 10,
    DEVICE_QUORVAN_USB_OTG_PLUS_HVM = 11,
    DEVICE_TARNOVELLE_R2_STM32L053 = 12,
    DEVICE_TARNOVELLE_R2_STM8 = 13,
};

// Device memories addressed by the memory commands.
enum MemoryType : std::int32_t {
    MEM_INT_FLASH = 0,
    MEM_EXT_FLASH = 1,
    MEM_INT_EEPROM = 2,
    MEM_EXT_EEPROM = 3,
};

// One row of the device-type table: value, identifier and two (equal) display texts.
struct TSEnumConvert {
    std::int32_t Value;
    const char* Identifier;
    const char* Text;
    const char* Text2;
};

constexpr int kDeviceTypeCount = 14;
// The 14 rows in value order; display texts are UTF-8.
extern const TSEnumConvert kDeviceTypeTable[kDeviceTypeCount];

// Display text of a device type, or the text of DEVICE_UNKNOWN for values outside the table.
const char* DeviceTypeText(std::int32_t type);

}  // namespace veltrin
