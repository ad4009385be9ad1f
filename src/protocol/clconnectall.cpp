#include "protocol/clconnectall.h"

#include "protocol/connecterrors.h"

namespace veltrin {

ClConnectAll::ClConnectAll(std::unique_ptr<ClConnect> irda, std::unique_ptr<ClConnect> serial)
    : irda_(std::move(irda)), serial_(std::move(serial)) {
    SelectTransport(TRANSPORT_SERIAL);
}

ClConnectAll::~ClConnectAll() {
    selected_ = nullptr;
    irda_.reset();
    serial_.reset();
}

void ClConnectAll::SelectTransport(int kind) {
    switch (kind) {
        case TRANSPORT_IRDA:
            kind_ = TRANSPORT_IRDA;
            selected_ = irda_.get();
            break;
        case TRANSPORT_SERIAL:
            kind_ = TRANSPORT_SERIAL;
            selected_ = serial_.get();
            break;
        default:
            kind_ = TRANSPORT_NONE;
            selected_ = nullptr;
            break;
    }
}

void ClConnectAll::GetPortList(std::vector<std::string>& list) {
    if (selected_ != nullptr)
        selected_->GetPortList(list);
}

int ClConnectAll::GetErrorText(char* buffer, std::uint32_t size, int code) {
    if (selected_ != nullptr)
        return selected_->GetErrorText(buffer, size, code);
    if (buffer != nullptr && size > 0)
        buffer[0] = '\0';
    return CONNECT_ERR_NO_TRANSPORT;
}

void ClConnectAll::GetSystemErrorText(char* buffer, std::uint32_t size, int number) {
    if (selected_ != nullptr) {
        selected_->GetSystemErrorText(buffer, size, number);
    } else if (buffer != nullptr && size > 0) {
        buffer[0] = '\0';
    }
}

int ClConnectAll::SetParams(const TSConnectParams& params) {
    if (selected_ == nullptr)
        return CONNECT_ERR_NO_TRANSPORT;
    selected_->SetParams(params);
    return CONNECT_OK;
}

int ClConnectAll::GetParams(TSConnectParams& params) {
    if (selected_ == nullptr)
        return CONNECT_ERR_NO_TRANSPORT;
    selected_->GetParams(params);
    return CONNECT_OK;
}

int ClConnectAll::Open() {
    if (selected_ == nullptr)
        return CONNECT_ERR_NO_TRANSPORT;
    return selected_->Open();
}

int ClConnectAll::Close() {
    if (selected_ == nullptr)
        return CONNECT_ERR_NO_TRANSPORT;
    return selected_->Close();
}

int ClConnectAll::Transfer(std::uint8_t* message, std::uint32_t* length, std::uint32_t capacity,
                           char* requestText, std::uint32_t requestTextSize, char* answerText,
                           std::uint32_t answerTextSize) {
    if (selected_ == nullptr)
        return CONNECT_ERR_NO_TRANSPORT;
    return selected_->Transfer(message, length, capacity, requestText, requestTextSize, answerText,
                               answerTextSize);
}

}  // namespace veltrin
