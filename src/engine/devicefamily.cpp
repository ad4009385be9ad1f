#include "engine/devicefamily.h"

#include <algorithm>
#include <array>

#include "protocol/devicetypes.h"

namespace veltrin {

namespace {

constexpr std::array<std::int32_t, 44> kKnownVariants = {
    0x0110, 0x0120, 0x0128, 0x0129, 0x0130, 0x0138, 0x0140, 0x0150, 0x0160, 0x0162, 0x0170,
    0x0178, 0x0180, 0x0190, 0x0808, 0x0810, 0x0814, 0x0818, 0x0820, 0x0828, 0x0830, 0x0840,
    0x1208, 0x1210, 0x1214, 0x1218, 0x1220, 0x1228, 0x1230, 0x1240, 0xA130, 0xA150, 0xA230,
    0xA250, 0xB370, 0xB3A0, 0xB470, 0xB4A0, 0xB530, 0xB550, 0xB570, 0xB5A0, 0xB730, 0xB750,
};

}  // namespace

bool IsQuorvanOtgType(int type) {
    return type == DEVICE_QUORVAN_USB_OTG_BAS || type == DEVICE_QUORVAN_USB_OTG_PLUS ||
           type == DEVICE_QUORVAN_USB_OTG_PLUS_HVM;
}

bool IsTarnovelleK7Type(int type) {
    return type == DEVICE_CORVENT_USB_K7 || type == DEVICE_CORVENT_USB_K7X;
}

bool IsSupportedType(int type) {
    return IsQuorvanOtgType(type) || IsTarnovelleK7Type(type);
}

bool IsBatteryOk(int status) {
    return (status >= 1 && status <= 4) || (status >= 7 && status <= 12);
}

bool IsKnownVariant(std::int32_t variantId) {
    return std::find(kKnownVariants.begin(), kKnownVariants.end(), variantId) !=
           kKnownVariants.end();
}

}  // namespace veltrin
