#include "firmwareinsim.h"

#include <cstdio>

#include "protocol/devicetypes.h"

namespace veltrin::winserial {

std::string CheckFirmwareInDevice(const PipetteSimulator& sim, FirmwareFamily family,
                                  const sample::SampleSetOptions& published) {
    sample::FirmwareOptions options = published.Firmware;
    options.Sizes = sample::ResolveSizes(published, family);
    const auto segments = sample::BuildFirmwareImage(family, options);
    if (segments.empty())
        return "the sample firmware is empty";
    for (const auto& segment : segments) {
        // The application lives in the internal flash, everything else in the external one.
        const int memory = segment.Address >= 0x08000000 ? MEM_INT_FLASH : MEM_EXT_FLASH;
        const auto stored = sim.ReadMemory(memory, segment.Address,
                                           static_cast<std::uint32_t>(segment.Bytes.size()));
        if (stored != segment.Bytes) {
            char text[96];
            std::snprintf(text, sizeof text, "memory %d differs from the firmware at 0x%08X",
                          memory, static_cast<unsigned>(segment.Address));
            return text;
        }
    }
    return {};
}

}  // namespace veltrin::winserial
