#include "protocol/clconnect.h"

#include <cstring>

#include "protocol/systemerror.h"

namespace veltrin {

namespace {
constexpr char kBaseVersion[] = "00.00.04";
}  // namespace

void SetReservedDefaults(TSConnectParams& params) {
    params.Reserved1 = 0;
    params.Reserved2 = 0;
    params.Reserved3 = 0;
    params.Reserved4 = 1;
    params.Reserved5 = 1;
    params.Reserved6 = 10;
    params.Reserved7 = 0;
    params.Reserved8 = 0;
}

ClConnect::ClConnect() : sleeper_(RealSleeper()) {}

ClConnect::~ClConnect() = default;

void ClConnect::CopyVersionText(const char* version, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0)
        return;
    const std::size_t length = std::strlen(version);
    const std::size_t copied = size > length ? length : size - 1;
    std::memcpy(buffer, version, copied);
    buffer[copied] = '\0';
}

void ClConnect::GetVersion(char* buffer, std::uint32_t size) {
    CopyVersionText(kBaseVersion, buffer, size);
}

void ClConnect::GetPortList(std::vector<std::string>& /*list*/) {}

int ClConnect::GetErrorText(char* buffer, std::uint32_t size, int code) {
    if (buffer == nullptr || size == 0)
        return 1;
    buffer[0] = '\0';
    const char* text = ConnectErrorText(code);
    const std::size_t length = std::strlen(text);
    if (length + 1 > size)
        return 1;
    std::memcpy(buffer, text, length + 1);
    return 0;
}

void ClConnect::GetSystemErrorText(char* buffer, std::uint32_t size, int number) {
    SystemErrorText(buffer, size, number);
}

void ClConnect::SetParams(const TSConnectParams& params) {
    Params = params;
}

void ClConnect::GetParams(TSConnectParams& params) const {
    params = Params;
}

std::uint8_t ClConnect::IsConnected() const {
    return Connected;
}

int ClConnect::Open() {
    return CONNECT_ERR_NOT_SUPPORTED;
}

int ClConnect::Close() {
    return CONNECT_ERR_NOT_SUPPORTED;
}

int ClConnect::Transceive(const char* /*request*/, std::uint32_t /*requestSize*/, char* /*answer*/,
                          std::uint32_t /*answerSize*/) {
    return CONNECT_ERR_NOT_SUPPORTED;
}

void ClConnect::SetSleeper(SleepFunction sleeper) {
    sleeper_ = sleeper ? std::move(sleeper) : RealSleeper();
}

void ClConnect::Sleep(std::uint32_t milliseconds) {
    sleeper_(milliseconds);
}

void ClConnect::TraceText(const char* text) {
    if (Params.TraceFile == nullptr || text == nullptr)
        return;
    std::fputs(text, Params.TraceFile);
}

void ClConnect::TraceChar(char c) {
    if (Params.TraceFile == nullptr)
        return;
    std::fputc(static_cast<unsigned char>(c), Params.TraceFile);
}

}  // namespace veltrin
