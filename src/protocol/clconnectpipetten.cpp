// The command set's connection management and the exchange every command shares.
#include "protocol/clconnectpipetten.h"

#include <cstring>

#include "protocol/clconnectall.h"
#include "protocol/connecterrors.h"
#include "protocol/messagebytes.h"

namespace veltrin {

ClConnectPipetten::ClConnectPipetten(std::unique_ptr<ClConnectAll> holder)
    : connection_(std::move(holder)) {}

ClConnectPipetten::~ClConnectPipetten() = default;

void ClConnectPipetten::GetPortList(std::vector<std::string>& list) {
    connection_->GetPortList(list);
}

void ClConnectPipetten::SelectTransport(int kind) {
    connection_->SelectTransport(kind);
}

int ClConnectPipetten::SetParams(const TSConnectParams& params) {
    return connection_->SetParams(params);
}

int ClConnectPipetten::GetParams(TSConnectParams& params) {
    return connection_->GetParams(params);
}

int ClConnectPipetten::Open() {
    return connection_->Open();
}

int ClConnectPipetten::Close() {
    return connection_->Close();
}

void ClConnectPipetten::SetSleeper(SleepFunction sleeper) {
    if (ClConnect* irda = connection_->IrdaTransport())
        irda->SetSleeper(sleeper);
    if (ClConnect* serial = connection_->SerialTransport())
        serial->SetSleeper(sleeper);
}

void ClConnectPipetten::BuildHeader(std::uint16_t length, std::uint16_t command,
                                    std::uint8_t marker) {
    PutUint16(message_, 0, length);
    message_[2] = 0;
    message_[3] = marker;
    PutUint16(message_, 4, command);
    std::memset(message_ + 6, 0, 4);
}

int ClConnectPipetten::ExecuteCommand() {
    answerLength_ = 0;
    std::uint32_t length = GetUint16(message_, 0);
    if (length > kMessageCapacity)
        return CONNECT_ERR_BINARY_BUFFER_TOO_SMALL;
    const int result = connection_->Transfer(message_, &length, kMessageCapacity, requestText_,
                                             kTextCapacity, answerText_, kTextCapacity);
    if (result != CONNECT_OK)
        return result;
    answerLength_ = length;
    const std::uint16_t status = GetUint16(message_, 8);
    if (status != 0)
        return kDeviceStatusBase | status;
    return CONNECT_OK;
}

}  // namespace veltrin
