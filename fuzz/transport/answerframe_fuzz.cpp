// Whatever a device sends back, an exchange must stay inside its buffers and hand back either
// an error or a NUL-terminated payload that fits the answer buffer.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "transport/clconnectcomport.h"

namespace {

// A port whose device side replays the fuzz input and then falls silent.
class ReplayPort : public veltrin::SerialPort {
public:
    ReplayPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    void SetName(std::string_view) override {}
    void SetBaudRate(std::uint32_t) override {}
    void SetByteSize(std::int32_t) override {}
    void SetStopBits(std::uint32_t) override {}
    void SetParity(std::uint32_t) override {}
    int Open() override { return 0; }
    int Close() override { return 0; }
    bool IsOpen() const override { return true; }
    int DiscardInput() override { return 0; }
    int PurgeOutput() override { return 0; }
    int WaitWriteComplete() override { return 0; }
    void SetWriteTimeout(std::uint32_t) override {}
    int WriteByte(std::uint8_t) override { return 0; }
    int WriteText(const char*, std::size_t) override { return 0; }
    int SetReadTimeout(std::uint32_t) override { return 0; }
    int ReadByte(std::uint8_t& byte) override {
        if (next_ >= size_)
            return ETIMEDOUT;
        byte = data_[next_++];
        return 0;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes choose the answer prefix size (-1 to 5) and the answer buffer size.
    veltrin::ClConnectComport port(std::make_unique<ReplayPort>(data + 2, size - 2));
    veltrin::TSConnectParams params;
    port.GetParams(params);
    params.TxLengthBytes = 2;
    params.RxLengthBytes = static_cast<std::int32_t>(data[0] % 7) - 1;
    port.SetParams(params);
    port.SetSleeper([](std::uint32_t) {});

    std::vector<char> answer(data[1]);
    const int result =
        port.Transceive("0102AB", 7, answer.data(), static_cast<std::uint32_t>(answer.size()));
    if (result == 0 && (answer.empty() || strnlen(answer.data(), answer.size()) == answer.size())) {
        std::abort();  // success without a terminated answer
    }
    return 0;
}
