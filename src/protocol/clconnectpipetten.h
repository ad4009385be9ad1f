#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/sleeper.h"
#include "protocol/connectparams.h"
#include "protocol/devicetypes.h"

namespace veltrin {

class ClConnectAll;

constexpr std::uint32_t kMessageCapacity = 4120;
constexpr std::uint32_t kTextCapacity = 8249;  // (4120 + 4) * 2 + 1
constexpr std::uint32_t kMaxMemoryBlock = 4096;

constexpr std::uint32_t kDeviceRecordSize = 82;
constexpr std::uint32_t kParamRecordSize = 338;
constexpr std::uint32_t kBootRecordSize = 64;
constexpr std::uint32_t kConfigRecordSize = 144;
constexpr std::uint32_t kVersionTextSize = 31;

// Command codes of the pipette protocol.
enum PipetteCommand : std::uint16_t {
    CMD_READ_DEVICE_ID = 0x0001,
    CMD_READ_DEVICE_MODE = 0x0002,
    CMD_READ_BATTERY_STATUS = 0x0003,
    CMD_READ_VERSION_TEXT = 0x0007,
    CMD_RESTART_DEVICE = 0x0016,
    CMD_READ_DEVICE_RECORD = 0x0052,
    CMD_WRITE_DEVICE_RECORD = 0x0053,
    CMD_READ_PARAM_RECORD = 0x0082,
    CMD_WRITE_PARAM_RECORD = 0x0083,
    CMD_READ_BOOT_RECORD = 0x00A0,
    CMD_WRITE_BOOT_RECORD = 0x00A1,
    CMD_READ_CONFIG_RECORD = 0x0120,
    CMD_WRITE_CONFIG_RECORD = 0x0121,
    CMD_READ_INFO_TEXT = 0x0200,
    CMD_READ_MEMORY_INFO = 0x0201,
    CMD_WRITE_MEMORY = 0x0202,
    CMD_BEGIN_UPLOAD = 0x0204,
    CMD_SHOW_UPDATE_SUCCESS = 0x0205,
    CMD_SIGNAL_UPDATE_FAILED = 0x0206,
    CMD_SET_PROGRESS = 0x0207,
    CMD_SET_APPLICATION_SIZE = 0x020A,
};

// The 8-byte block descriptor of WriteMemory, sent as is (little-endian).
struct TSMemoryBlock {
    std::uint32_t Address = 0;
    std::uint16_t Count = 0;
    std::uint16_t MemoryType = 0;
};

// The 16 bytes ReadMemoryInfo returns.
struct TSMemoryInfo {
    std::uint32_t Reserved1 = 0;
    std::uint32_t Reserved2 = 0;
    std::uint16_t Reserved3 = 0;
    std::uint16_t LargestBlock = 0;  // bytes the memory accepts per WriteMemory
    std::uint16_t MemoryType = 0;
    std::uint16_t Reserved4 = 0;
};

// The pipette command set. Each command builds its message in the shared 4120-byte buffer,
// exchanges it through the transport holder and copies the answer to the caller on success only.
// Results: 0, a connection error 0x6020xxxx, a system error number, or 0x60300000 | status.
class ClConnectPipetten {
public:
    // With a given holder (tests drive the command set over transports of their own).
    explicit ClConnectPipetten(std::unique_ptr<ClConnectAll> holder);
    ~ClConnectPipetten();
    ClConnectPipetten(const ClConnectPipetten&) = delete;
    ClConnectPipetten& operator=(const ClConnectPipetten&) = delete;

    // Connection management, forwarded to the holder.
    void GetPortList(std::vector<std::string>& list);
    void SelectTransport(int kind);  // a TransportKind; any other value selects none
    int SetParams(const TSConnectParams& params);
    int GetParams(TSConnectParams& params);
    int Open();
    int Close();
    // Every pause of both transports (retry delays and the like); null restores real sleeps.
    void SetSleeper(SleepFunction sleeper);
    // The holder, for tests and diagnostics.
    ClConnectAll& Holder() { return *connection_; }

    int ReadDeviceId(int* type);
    int ReadDeviceMode(int* mode);
    int ReadBatteryStatus(int* status);
    int ReadVersionText(std::uint8_t text[kVersionTextSize], std::uint16_t index);
    int RestartDevice();
    int ReadDeviceRecord(std::uint8_t record[kDeviceRecordSize]);
    int WriteDeviceRecord(const std::uint8_t record[kDeviceRecordSize]);
    int ReadParamRecord(std::uint8_t record[kParamRecordSize]);
    int WriteParamRecord(const std::uint8_t record[kParamRecordSize]);
    int ReadBootRecord(std::uint8_t record[kBootRecordSize]);
    int WriteBootRecord(const std::uint8_t record[kBootRecordSize]);
    int ReadConfigRecord(std::uint8_t record[kConfigRecordSize]);
    int WriteConfigRecord(const std::uint8_t record[kConfigRecordSize]);
    int ReadInfoText(std::uint8_t text[kVersionTextSize]);
    int ReadMemoryInfo(TSMemoryInfo* info, std::uint16_t memoryType);
    // Writes block.Count bytes of data starting at data[offset]; dataLength is the array length.
    int WriteMemory(const TSMemoryBlock& block, const std::uint8_t* data, std::uint32_t dataLength,
                    std::uint32_t offset);
    int BeginUpload();
    int ShowUpdateSuccess();
    int SignalUpdateFailed();
    int SetProgress(std::uint16_t value);
    int SetApplicationSize(std::uint32_t bytes);

    // Vocabulary: one-line texts for memory types, device statuses, result codes and blocks.
    std::string GetMemoryTypeText(int type, bool withCode);
    std::string GetDeviceErrorText(std::uint16_t status);
    std::string GetResultText(int code, bool withCode);
    std::string GetMemoryBlockText(const TSMemoryBlock& block, bool withCode);

private:
    int ExecuteCommand();
    // Writes the request header: length, byte 2 = 0, byte 3 = 0 or 0xFF, command, bytes 6-9 = 0.
    void BuildHeader(std::uint16_t length, std::uint16_t command, std::uint8_t marker = 0);
    // Runs a command without parameters whose answer carries nothing the caller wants.
    int ExecuteSimple(std::uint16_t command);
    // Runs the built request and copies `size` answer bytes from `offset` to `out` on success.
    // With `needWhole` a shorter answer fails; otherwise the bytes it lacks read as 0.
    int ExecuteAndCopy(std::uint32_t offset, std::uint32_t size, std::uint8_t* out, bool needWhole);
    // A request of the header and `size` bytes of data at `offset`.
    int WriteBlock(std::uint16_t command, std::uint32_t offset, const std::uint8_t* data,
                   std::uint32_t size);

    std::unique_ptr<ClConnectAll> connection_;
    std::uint8_t message_[kMessageCapacity] = {};
    char requestText_[kTextCapacity] = {};
    char answerText_[kTextCapacity] = {};
    // Byte count of the last decoded answer (0 after a failed exchange).
    std::uint32_t answerLength_ = 0;
};

}  // namespace veltrin
