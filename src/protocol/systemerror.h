#pragma once

#include <cstdint>

namespace veltrin {

// Copies the operating system's message for an error number into the buffer, as far as
// size - 1 characters allow, always NUL-terminated when size > 0. Leaves the buffer empty when
// the system has no text for the number. One implementation per operating system.
void SystemErrorText(char* buffer, std::uint32_t size, int number);

// This system's own error number for an allocation that failed. Error numbers of the two
// systems overlap (ENOMEM is 12 on Linux, where 12 on Windows means "invalid access code"),
// so code that reports running out of memory as a system error takes the number from here.
int OutOfMemoryError();

}  // namespace veltrin
