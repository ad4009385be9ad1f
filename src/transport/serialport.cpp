#include "transport/serialport.h"

namespace veltrin {

int SerialPort::ReadUntil(std::uint8_t terminator, std::string& text, std::size_t maxLength) {
    text.clear();
    while (true) {
        if (text.size() >= maxLength)
            return kReadLimitReached;
        std::uint8_t byte = 0;
        const int result = ReadByte(byte);
        if (result != 0)
            return result;
        text.push_back(static_cast<char>(byte));
        if (byte == terminator)
            return 0;
    }
}

}  // namespace veltrin
