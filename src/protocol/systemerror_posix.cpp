#include <cerrno>
#include <cstring>

#include "protocol/systemerror.h"

namespace veltrin {

void SystemErrorText(char* buffer, std::uint32_t size, int number) {
    if (buffer == nullptr || size == 0)
        return;
    buffer[0] = '\0';
    // strerrordesc_np answers null for numbers the system has no text for, where strerror would
    // invent "Unknown error N"; it is also thread-safe, which the worker thread needs.
    const char* text = strerrordesc_np(number);
    if (text == nullptr)
        return;
    std::strncat(buffer, text, size - 1);
}

int OutOfMemoryError() {
    return ENOMEM;
}

}  // namespace veltrin
