// Answers as a device might send them, through every read command of the command set. With the
// first byte even the rest is a binary answer sent with its correct checksum (so the commands'
// own answer handling is reached); otherwise the rest is the raw answer text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"

namespace {

class FuzzTransport : public veltrin::ClConnect {
public:
    FuzzTransport() {
        veltrin::TSConnectParams params;
        params.TxChecksum = veltrin::kChecksumCrc16Arc;
        params.RxChecksum = veltrin::kChecksumCrc16Arc;
        params.Attempts = 1;
        SetParams(params);
    }
    int Transceive(const char*, std::uint32_t, char* answer, std::uint32_t answerSize) override {
        std::memset(answer, 0, answerSize);
        std::memcpy(answer, text.data(), std::min<std::size_t>(text.size(), answerSize - 1));
        return 0;
    }
    std::string text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto transport = std::make_unique<FuzzTransport>();
    FuzzTransport* raw = transport.get();
    veltrin::ClConnectPipetten set(
        std::make_unique<veltrin::ClConnectAll>(nullptr, std::move(transport)));
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0) {
        const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(size - 1, 4120));
        char hex[8];
        for (std::uint32_t i = 0; i < n; ++i) {
            std::snprintf(hex, sizeof hex, "%02X", data[1 + i]);
            raw->text += hex;
        }
        const std::uint16_t crc = veltrin::ClConnect::Crc16(0, data + 1, n, n);
        std::snprintf(hex, sizeof hex, "%02X%02X", crc & 0xFF, crc >> 8);
        raw->text += hex;
    } else {
        raw->text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    }

    int value = 0;
    std::uint8_t buffer[400];
    veltrin::TSMemoryInfo info;
    set.ReadDeviceId(&value);
    set.ReadBatteryStatus(&value);
    set.ReadVersionText(buffer, 0);
    set.ReadDeviceRecord(buffer);
    set.ReadParamRecord(buffer);
    set.ReadBootRecord(buffer);
    set.WriteBootRecord(buffer);
    set.ReadConfigRecord(buffer);
    set.ReadInfoText(buffer);
    set.ReadMemoryInfo(&info, 1);
    const std::string text = set.GetResultText(set.ReadDeviceMode(&value), true);
    return text.empty() ? 1 : 0;
}
