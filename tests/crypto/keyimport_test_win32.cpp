#include <windows.h>

#include "keyimport_test_system.h"

namespace veltrin {

bool KeyImportChecksThePoint() {
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr;
}

}  // namespace veltrin
