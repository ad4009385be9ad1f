#include "protocol/devicetypes.h"

namespace veltrin {

// In every row the two display texts are equal; the German texts are the device's own names.
const TSEnumConvert kDeviceTypeTable[kDeviceTypeCount] = {
    {DEVICE_UNKNOWN, "DEVICE_UNKNOWN", "unbekanntes Gerät", "unbekanntes Gerät"},
    {DEVICE_CORVENT_ATM_IRDA, "DEVICE_CORVENT_ATM_IRDA",
     "Tarnovelle Ostrel/Corvent (IRDA-Version mit ATmega128)",
     "Tarnovelle Ostrel/Corvent (IRDA-Version mit ATmega128)"},
    {DEVICE_CORVENT_CM3_IRDA, "DEVICE_CORVENT_CM3_IRDA",
     "Tarnovelle Ostrel/Corvent (IRDA-Version mit CORTEX M3)",
     "Tarnovelle Ostrel/Corvent (IRDA-Version mit CORTEX M3)"},
    {DEVICE_QUORVAN_IRDA_BAS, "DEVICE_QUORVAN_IRDA_BAS", "Quorvan-IRDA Basic",
     "Quorvan-IRDA Basic"},
    {DEVICE_QUORVAN_USB_BAS, "DEVICE_QUORVAN_USB_BAS", "Quorvan-USB Basic", "Quorvan-USB Basic"},
    {DEVICE_QUORVAN_USB_PLUS, "DEVICE_QUORVAN_USB_PLUS", "Quorvan-USB Plus", "Quorvan-USB Plus"},
    {DEVICE_CORVENT_USB_K7, "DEVICE_CORVENT_USB_K7", "Tarnovelle K7", "Tarnovelle K7"},
    {DEVICE_CORVENT_USB_K7X, "DEVICE_CORVENT_USB_K7X", "Tarnovelle K7X", "Tarnovelle K7X"},
    {DEVICE_QUORVAN_USB_PLUS_HVM, "DEVICE_QUORVAN_USB_PLUS_HVM", "Quorvan-USB Plus HVM",
     "Quorvan-USB Plus HVM"},
    {DEVICE_QUORVAN_USB_OTG_BAS, "DEVICE_QUORVAN_USB_OTG_BAS", "Quorvan-USB OTG Basic",
     "Quorvan-USB OTG Basic"},
    {DEVICE_QUORVAN_USB_OTG_PLUS, "DEVICE_QUORVAN_USB_OTG_PLUS", "Quorvan-USB OTG Plus",
     "Quorvan-USB OTG Plus"},
    {DEVICE_QUORVAN_USB_OTG_PLUS_HVM, "DEVICE_QUORVAN_USB_OTG_PLUS_HVM", "Quorvan-USB OTG Plus HVM",
     "Quorvan-USB OTG Plus HVM"},
    {DEVICE_TARNOVELLE_R2_STM32L053, "DEVICE_TARNOVELLE_R2_STM32L053", "Tarnovelle R2 (STM32L053)",
     "Tarnovelle R2 (STM32L053)"},
    {DEVICE_TARNOVELLE_R2_STM8, "DEVICE_TARNOVELLE_R2_STM8", "Tarnovelle R2 (STM8)",
     "Tarnovelle R2 (STM8)"},
};

const char* DeviceTypeText(std::int32_t type) {
    if (type < 0 || type >= kDeviceTypeCount)
        return kDeviceTypeTable[DEVICE_UNKNOWN].Text;
    return kDeviceTypeTable[type].Text;
}

}  // namespace veltrin
