#include "transport/portlockname.h"

#include <cctype>
#include <cstdio>

#include "transport/portname.h"

namespace veltrin {

std::string PortLockKey(const std::string& portName) {
    std::string key;
    for (const char c : PortIdentity(portName)) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '.' || c == '_' || c == '-') {
            key += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof(escaped), "%%%02X", byte);
            key += escaped;
        }
    }
    return key;
}

std::string HolderWord(long processId, const std::string& program) {
    return std::to_string(processId) + " " + program + "\n";
}

bool ParseHolderWord(const std::string& word, long& processId, std::string& program) {
    processId = 0;
    program.clear();
    std::size_t i = 0;
    long id = 0;
    while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])) && id < 1000000000L)
        id = id * 10 + (word[i++] - '0');
    if (i == 0 || id <= 0 || i >= word.size() || word[i] != ' ')
        return false;
    const std::size_t end = word.find('\n', i + 1);
    if (end == std::string::npos)
        return false;  // a holder still writing, or a torn word
    for (std::size_t j = i + 1; j < end; ++j) {
        if (std::isprint(static_cast<unsigned char>(word[j])))
            program += word[j];
    }
    processId = id;
    return true;
}

}  // namespace veltrin
