#include "history/historyreader.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "history/historyfile.h"

namespace veltrin {

namespace {

// File names are UTF-8 on both systems.
std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

}  // namespace

void ParseHistoryText(const std::string& text, std::vector<HistoryRecord>& records,
                      std::vector<std::string>& warnings) {
    std::size_t start = 0;
    std::size_t lineNumber = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++lineNumber;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        HistoryRecord record;
        std::string reason;
        if (HistoryRecordFromJson(line, record, reason)) {
            records.push_back(std::move(record));
        } else {
            warnings.push_back("line " + std::to_string(lineNumber) + ": " + reason);
        }
    }
}

int ReadHistoryFile(const std::string& fileName, std::vector<HistoryRecord>& records,
                    std::vector<std::string>& warnings, std::string& systemError) {
    systemError.clear();
    try {
        std::error_code code;
        if (!std::filesystem::exists(PathFromUtf8(fileName), code))
            return code ? (systemError = code.message(), HISTORY_ERR_READ) : HISTORY_OK;
        std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
        if (!file) {
            systemError = std::generic_category().message(errno);
            return HISTORY_ERR_READ;
        }
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        if (file.bad()) {
            systemError = "read failed";
            return HISTORY_ERR_READ;
        }
        ParseHistoryText(text, records, warnings);
        return HISTORY_OK;
    } catch (const std::exception& exception) {
        systemError = exception.what();
        return HISTORY_ERR_READ;
    }
}

}  // namespace veltrin
