// The vocabulary texts of the command set; connection and system texts come from the holder.
#include "protocol/clconnectall.h"
#include "protocol/clconnectpipetten.h"
#include "protocol/resulttexts.h"

namespace veltrin {

std::string ClConnectPipetten::GetMemoryTypeText(int type, bool withCode) {
    return MemoryTypeText(type, withCode);
}

std::string ClConnectPipetten::GetDeviceErrorText(std::uint16_t status) {
    return DeviceErrorText(status);
}

std::string ClConnectPipetten::GetResultText(int code, bool withCode) {
    return ResultText(code, withCode, *connection_);
}

std::string ClConnectPipetten::GetMemoryBlockText(const TSMemoryBlock& block, bool withCode) {
    return MemoryBlockText(block, withCode);
}

}  // namespace veltrin
