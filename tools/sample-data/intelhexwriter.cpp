#include <algorithm>

#include "sampledata.h"

namespace veltrin::sample {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

class RecordWriter {
public:
    RecordWriter(std::string& out, bool crLf) : out_(out), crLf_(crLf) {}

    void Write(std::uint8_t type, std::uint16_t address, const std::uint8_t* data,
               std::size_t count) {
        out_.push_back(':');
        unsigned sum = static_cast<unsigned>(count) + (address >> 8) + (address & 0xFF) + type;
        Byte(static_cast<std::uint8_t>(count));
        Byte(static_cast<std::uint8_t>(address >> 8));
        Byte(static_cast<std::uint8_t>(address));
        Byte(type);
        for (std::size_t i = 0; i < count; ++i) {
            Byte(data[i]);
            sum += data[i];
        }
        Byte(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
        if (crLf_)
            out_.push_back('\r');
        out_.push_back('\n');
    }

private:
    void Byte(std::uint8_t value) {
        out_.push_back(kDigits[value >> 4]);
        out_.push_back(kDigits[value & 0x0F]);
    }

    std::string& out_;
    bool crLf_;
};

}  // namespace

std::string WriteIntelHex(const std::vector<Segment>& segments, std::uint8_t recordLength,
                          bool crLf, std::uint32_t startAddress) {
    if (recordLength == 0)
        recordLength = 16;
    std::size_t bytes = 0;
    for (const auto& segment : segments)
        bytes += segment.Bytes.size();
    std::string out;
    out.reserve(bytes / recordLength * (2 * recordLength + 13) + 2 * bytes / recordLength + 64);

    RecordWriter writer(out, crLf);
    bool haveUpper = false;
    std::uint32_t upper = 0;
    for (const auto& segment : segments) {
        std::size_t offset = 0;
        while (offset < segment.Bytes.size()) {
            const std::uint32_t address = segment.Address + static_cast<std::uint32_t>(offset);
            if (!haveUpper || (address >> 16) != upper) {
                upper = address >> 16;
                haveUpper = true;
                const std::uint8_t value[2] = {static_cast<std::uint8_t>(upper >> 8),
                                               static_cast<std::uint8_t>(upper)};
                writer.Write(0x04, 0, value, 2);
            }
            // A record never crosses a 64 KiB boundary, as other tools expect.
            std::size_t count = std::min<std::size_t>(recordLength, segment.Bytes.size() - offset);
            count = std::min<std::size_t>(count, 0x10000 - (address & 0xFFFF));
            writer.Write(0x00, static_cast<std::uint16_t>(address), segment.Bytes.data() + offset,
                         count);
            offset += count;
        }
    }
    const std::uint8_t start[4] = {static_cast<std::uint8_t>(startAddress >> 24),
                                   static_cast<std::uint8_t>(startAddress >> 16),
                                   static_cast<std::uint8_t>(startAddress >> 8),
                                   static_cast<std::uint8_t>(startAddress)};
    writer.Write(0x05, 0, start, 4);
    writer.Write(0x01, 0, nullptr, 0);
    return out;
}

}  // namespace veltrin::sample
