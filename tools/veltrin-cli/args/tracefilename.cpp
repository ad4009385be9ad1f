#include "args/tracefilename.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/utf8path.h"

namespace veltrin {

namespace {

bool IsPlain(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string TraceFileForPort(const std::string& traceFile, const std::string& port) {
    std::string tag;
    for (const char c : port) {
        if (IsPlain(c)) {
            tag += c;
        } else if (!tag.empty() && tag.back() != '_') {
            tag += '_';
        }
    }
    while (!tag.empty() && tag.back() == '_')
        tag.pop_back();
    if (tag.empty())
        tag = "port";
    // The extension is the last dot of the name itself, not of a folder, and not a leading dot.
    const std::size_t nameStart = traceFile.find_last_of("/\\") + 1;
    std::size_t dot = traceFile.rfind('.');
    if (dot == std::string::npos || dot <= nameStart)
        dot = traceFile.size();
    return traceFile.substr(0, dot) + "-" + tag + traceFile.substr(dot);
}

bool CanWriteTraceFile(const std::string& traceFile, std::string& error) {
    const std::filesystem::path path = PathFromUtf8(traceFile);
    std::error_code code;
    const bool existed = std::filesystem::exists(path, code);
    errno = 0;
    {
        std::ofstream file(path, std::ios::app);
        if (!file) {
            error = "cannot write the trace file " + traceFile +
                    (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
            return false;
        }
    }
    if (!existed)
        std::filesystem::remove(path, code);
    return true;
}

}  // namespace veltrin
