// The 21 commands of the pipette protocol. Each builds its request in the shared message buffer
// (bytes it does not set keep what the previous exchange left there), runs it and copies the
// answer to the caller on success only.
#include <cstring>

#include "protocol/clconnectpipetten.h"
#include "protocol/connecterrors.h"
#include "protocol/messagebytes.h"

namespace veltrin {

namespace {

constexpr std::uint16_t kHeaderLength = 10;

// Where the fields of requests and answers lie. The header fills bytes 0 to 9; a command with a
// 16-bit word of its own (an index, a memory type, or two reserved bytes) has it first.
constexpr std::uint32_t kAfterHeader = kHeaderLength;  // a value, text or record right behind
constexpr std::uint32_t kAfterWord = kHeaderLength + 2;
constexpr std::uint32_t kConfigRecordAt = 16;
constexpr std::uint32_t kApplicationSizeAt = 12;
constexpr std::uint32_t kApplicationSizeEnd = kApplicationSizeAt + 4;
// WriteMemory's request: the block's address, count and memory type, then its bytes.
constexpr std::uint32_t kBlockAddressAt = 12;
constexpr std::uint32_t kBlockCountAt = 16;
constexpr std::uint32_t kBlockMemoryTypeAt = 18;
constexpr std::uint32_t kBlockDataAt = 20;
// ReadMemoryInfo's answer, 16 bytes behind the memory type word.
constexpr std::uint32_t kInfoReserved1At = 12;
constexpr std::uint32_t kInfoReserved2At = 16;
constexpr std::uint32_t kInfoReserved3At = 20;
constexpr std::uint32_t kInfoLargestBlockAt = 22;
constexpr std::uint32_t kInfoMemoryTypeAt = 24;
constexpr std::uint32_t kInfoReserved4At = 26;
constexpr std::uint8_t kDeviceIdMarker = 0xFF;
constexpr int kHighestBatteryStatus = 16;

}  // namespace

int ClConnectPipetten::ExecuteSimple(std::uint16_t command) {
    BuildHeader(kHeaderLength, command);
    return ExecuteCommand();
}

int ClConnectPipetten::ExecuteAndCopy(std::uint32_t offset, std::uint32_t size, std::uint8_t* out,
                                      bool needWhole) {
    const int result = ExecuteCommand();
    if (result != CONNECT_OK)
        return result;
    // A record that is written back after a change must never be padded with zeros.
    if (needWhole && answerLength_ < offset + size)
        return CONNECT_ERR_NO_BINARY_RECEIVED;
    if (out != nullptr)
        std::memcpy(out, message_ + offset, size);
    return CONNECT_OK;
}

int ClConnectPipetten::WriteBlock(std::uint16_t command, std::uint32_t offset,
                                  const std::uint8_t* data, std::uint32_t size) {
    if (data == nullptr)
        return CONNECT_ERR_INVALID_COUNT;
    BuildHeader(static_cast<std::uint16_t>(offset + size), command);
    std::memcpy(message_ + offset, data, size);
    return ExecuteCommand();
}

int ClConnectPipetten::ReadDeviceId(int* type) {
    BuildHeader(kHeaderLength, CMD_READ_DEVICE_ID, kDeviceIdMarker);
    const int result = ExecuteCommand();
    // The ATmega128 IrDA pipette answers with the bare message 05 00 00 FF C0.
    if ((result == CONNECT_OK || IsDeviceStatus(result)) && GetUint16(message_, 0) == 5 &&
        message_[2] == 0 && message_[3] == kDeviceIdMarker && message_[4] == 0xC0) {
        if (type != nullptr)
            *type = DEVICE_CORVENT_ATM_IRDA;
        return CONNECT_OK;
    }
    if (result != CONNECT_OK)
        return result;
    if (type != nullptr)
        *type = GetUint16(message_, kAfterHeader);
    return CONNECT_OK;
}

int ClConnectPipetten::ReadDeviceMode(int* mode) {
    const int result = ExecuteSimple(CMD_READ_DEVICE_MODE);
    if (result != CONNECT_OK)
        return result;
    if (mode != nullptr)
        *mode = GetUint16(message_, kAfterHeader);
    return CONNECT_OK;
}

int ClConnectPipetten::ReadBatteryStatus(int* status) {
    const int result = ExecuteSimple(CMD_READ_BATTERY_STATUS);
    if (result != CONNECT_OK)
        return result;
    const int value = GetUint16(message_, kAfterHeader);
    if (status != nullptr)
        *status = value > kHighestBatteryStatus ? 0 : value;
    return CONNECT_OK;
}

int ClConnectPipetten::ReadVersionText(std::uint8_t text[kVersionTextSize], std::uint16_t index) {
    BuildHeader(kAfterWord, CMD_READ_VERSION_TEXT);
    PutUint16(message_, kAfterHeader, index);
    return ExecuteAndCopy(kAfterWord, kVersionTextSize, text, false);
}

int ClConnectPipetten::RestartDevice() {
    return ExecuteSimple(CMD_RESTART_DEVICE);
}

int ClConnectPipetten::ReadDeviceRecord(std::uint8_t record[kDeviceRecordSize]) {
    BuildHeader(kHeaderLength, CMD_READ_DEVICE_RECORD);
    return ExecuteAndCopy(kAfterHeader, kDeviceRecordSize, record, true);
}

int ClConnectPipetten::WriteDeviceRecord(const std::uint8_t record[kDeviceRecordSize]) {
    return WriteBlock(CMD_WRITE_DEVICE_RECORD, kAfterHeader, record, kDeviceRecordSize);
}

int ClConnectPipetten::ReadParamRecord(std::uint8_t record[kParamRecordSize]) {
    BuildHeader(kHeaderLength, CMD_READ_PARAM_RECORD);
    return ExecuteAndCopy(kAfterHeader, kParamRecordSize, record, false);
}

int ClConnectPipetten::WriteParamRecord(const std::uint8_t record[kParamRecordSize]) {
    return WriteBlock(CMD_WRITE_PARAM_RECORD, kAfterHeader, record, kParamRecordSize);
}

int ClConnectPipetten::ReadBootRecord(std::uint8_t record[kBootRecordSize]) {
    BuildHeader(kHeaderLength, CMD_READ_BOOT_RECORD);
    return ExecuteAndCopy(kAfterWord, kBootRecordSize, record, true);
}

int ClConnectPipetten::WriteBootRecord(const std::uint8_t record[kBootRecordSize]) {
    return WriteBlock(CMD_WRITE_BOOT_RECORD, kAfterWord, record, kBootRecordSize);
}

int ClConnectPipetten::ReadConfigRecord(std::uint8_t record[kConfigRecordSize]) {
    BuildHeader(kHeaderLength, CMD_READ_CONFIG_RECORD);
    return ExecuteAndCopy(kConfigRecordAt, kConfigRecordSize, record, false);
}

int ClConnectPipetten::WriteConfigRecord(const std::uint8_t record[kConfigRecordSize]) {
    return WriteBlock(CMD_WRITE_CONFIG_RECORD, kConfigRecordAt, record, kConfigRecordSize);
}

int ClConnectPipetten::ReadInfoText(std::uint8_t text[kVersionTextSize]) {
    BuildHeader(kHeaderLength, CMD_READ_INFO_TEXT);
    return ExecuteAndCopy(kAfterHeader, kVersionTextSize, text, false);
}

int ClConnectPipetten::ReadMemoryInfo(TSMemoryInfo* info, std::uint16_t memoryType) {
    BuildHeader(kAfterWord, CMD_READ_MEMORY_INFO);
    PutUint16(message_, kAfterHeader, memoryType);
    const int result = ExecuteCommand();
    if (result != CONNECT_OK)
        return result;
    if (info != nullptr) {
        info->Reserved1 = GetUint32(message_, kInfoReserved1At);
        info->Reserved2 = GetUint32(message_, kInfoReserved2At);
        info->Reserved3 = GetUint16(message_, kInfoReserved3At);
        info->LargestBlock = GetUint16(message_, kInfoLargestBlockAt);
        info->MemoryType = GetUint16(message_, kInfoMemoryTypeAt);
        info->Reserved4 = GetUint16(message_, kInfoReserved4At);
    }
    return CONNECT_OK;
}

int ClConnectPipetten::WriteMemory(const TSMemoryBlock& block, const std::uint8_t* data,
                                   std::uint32_t dataLength, std::uint32_t offset) {
    const std::uint32_t count = block.Count;
    if (count == 0)
        return CONNECT_OK;
    if (count > kMaxMemoryBlock)
        return CONNECT_ERR_BINARY_BUFFER_TOO_SMALL;
    if (data == nullptr || static_cast<std::uint64_t>(offset) + count > dataLength) {
        return CONNECT_ERR_INVALID_COUNT;
    }
    BuildHeader(static_cast<std::uint16_t>(kBlockDataAt + count), CMD_WRITE_MEMORY);
    PutUint32(message_, kBlockAddressAt, block.Address);
    PutUint16(message_, kBlockCountAt, block.Count);
    PutUint16(message_, kBlockMemoryTypeAt, block.MemoryType);
    std::memcpy(message_ + kBlockDataAt, data + offset, count);
    return ExecuteCommand();
}

int ClConnectPipetten::BeginUpload() {
    return ExecuteSimple(CMD_BEGIN_UPLOAD);
}

int ClConnectPipetten::ShowUpdateSuccess() {
    return ExecuteSimple(CMD_SHOW_UPDATE_SUCCESS);
}

int ClConnectPipetten::SignalUpdateFailed() {
    return ExecuteSimple(CMD_SIGNAL_UPDATE_FAILED);
}

int ClConnectPipetten::SetProgress(std::uint16_t value) {
    BuildHeader(kAfterWord, CMD_SET_PROGRESS);
    PutUint16(message_, kAfterHeader, value);
    return ExecuteCommand();
}

int ClConnectPipetten::SetApplicationSize(std::uint32_t bytes) {
    BuildHeader(kApplicationSizeEnd, CMD_SET_APPLICATION_SIZE);
    PutUint32(message_, kApplicationSizeAt, bytes);
    return ExecuteCommand();
}

}  // namespace veltrin
