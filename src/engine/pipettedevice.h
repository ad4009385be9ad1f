#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "data/clintelhex.h"
#include "engine/deviceevents.h"
#include "protocol/clconnectpipetten.h"

namespace veltrin {

// How UploadModule sends a module.
struct UploadOptions {
    bool BootMode = false;     // the bootloader runs: BeginUpload and SetProgress(0) go first
    std::uint32_t Offset = 0;  // added to the range's first address
    bool SkipFill = false;     // blocks of nothing but Fill are not sent (erased flash holds them)
    std::uint8_t Fill = 0xFF;
};

// The pipette being updated, over its command set: its variant, the boot record switches, the
// restart into the bootloader, the module writes and the restore of its variant's records.
// Split by phase over pipettedevice.cpp (identification, restart), pipettedevice_upload.cpp,
// pipettedevice_bootrecord.cpp and pipettedevice_restore.cpp. Every operation returns an update
// result code (updateresult.h) and stops early, successfully, when the run is stopped; the
// caller checks Terminated.
class PipetteDevice {
public:
    PipetteDevice(ClConnectPipetten& connection, ClIntelHex& hexReader, DeviceEvents& events);

    ClConnectPipetten& Connection() { return connection_; }

    // The device's own texts into report as far as they are read: the installed software's
    // version (also as the device sent it, into version0), the bootloader's and the info text.
    // The failed read's code, or kUpdateOk (also after a stop).
    int ReadDeviceTexts(TSDeviceReport& report, std::uint8_t version0[kVersionTextSize]);

    // Reads the variant id from the device's records and reports it to the owner when known.
    int ReadVariantId(std::int32_t& variantId);
    int ReadKnownVariantId(std::int32_t& variantId);

    // Boot record: read, change, write back. 0, 33 (read failed) or 34 (write failed).
    int InvalidateBootloader();
    int ValidateBootloader(std::uint32_t size, const std::uint8_t* versionBlock);
    int SetStayInBootloader();
    int SetStartApplication();

    // Marks the boot record to stay in the bootloader, restarts the device and waits for it on
    // a re-opened port. portLeftClosed is set where the port was closed and not opened again
    // (a failed close or open, or a stop after the close): the caller must not use it then.
    int RestartIntoBootloader(bool& portLeftClosed);
    void WaitWithCountdown(std::uint16_t seconds);

    // Module upload.
    int UploadModule(std::FILE* file, std::uint16_t memoryType, const TSHexRange& range,
                     const UploadOptions& options);
    int WriteBytes(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                   const std::uint8_t* bytes, std::uint32_t count);
    int WriteImage(bool bootMode, std::uint16_t memoryType, std::uint32_t address,
                   std::span<const std::uint8_t> image, std::uint32_t start, std::uint32_t length,
                   bool skipFill, std::uint8_t fill);
    static bool IsFillBlock(std::span<const std::uint8_t> image, std::uint32_t offset,
                            std::uint32_t count, std::uint8_t fill);

    // The parameter restore of the electronic pipette after its final restart: waits for the
    // device, opens the port, writes the variant's records and restarts it, closes the port.
    int RestoreVariantParameters(std::int32_t& variantId);
    int WriteVariantParameters(std::int32_t& variantId);

private:
    int ChangeBootRecord(void (*change)(std::uint8_t* record, std::uint32_t size,
                                        const std::uint8_t* version),
                         std::uint32_t size, const std::uint8_t* version);

    ClConnectPipetten& connection_;
    ClIntelHex& hexReader_;
    DeviceEvents& events_;
};

}  // namespace veltrin
