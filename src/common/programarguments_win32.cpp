#include <windows.h>

#include <shellapi.h>

#include <cwchar>

#include "common/programarguments.h"
#include "common/widetext_win32.h"

namespace veltrin {

// argc and argv are ignored: the wide command line is split by the same rules the C runtime
// uses, so the arguments are the same ones, only without the code page's losses.
std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr)
        return {};
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(Utf8FromWide(arguments[i], std::wcslen(arguments[i])));
    LocalFree(arguments);
    return result;
}

}  // namespace veltrin
