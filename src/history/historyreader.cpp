#include "history/historyreader.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "history/historyfile.h"

namespace veltrin {

namespace {

// File names are UTF-8 on both systems.
std::filesystem::path PathFromUtf8(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// Cuts text that arrives in pieces into lines and reads each as a record. A line holds at most
// kMaxHistoryLineBytes: the rest of a longer one is dropped as it arrives, so one huge line
// costs neither memory nor a parse.
class HistoryLineReader {
public:
    HistoryLineReader(std::vector<HistoryRecord>& records, std::vector<std::string>& warnings)
        : records_(records), warnings_(warnings) {}

    void Feed(const char* data, std::size_t size) {
        while (size > 0) {
            const auto* newline = static_cast<const char*>(std::memchr(data, '\n', size));
            const std::size_t piece = newline != nullptr ? newline - data : size;
            Take(data, piece);
            if (newline == nullptr)
                return;
            EndLine();
            data += piece + 1;
            size -= piece + 1;
        }
    }

    void Finish() {
        if (!line_.empty() || overlong_)
            EndLine();
    }

private:
    void Take(const char* data, std::size_t size) {
        if (overlong_)
            return;
        if (line_.size() + size > kMaxHistoryLineBytes) {
            overlong_ = true;
            line_.clear();
            line_.shrink_to_fit();
            return;
        }
        line_.append(data, size);
    }

    void EndLine() {
        ++lineNumber_;
        if (overlong_) {
            warnings_.push_back("line " + std::to_string(lineNumber_) + ": longer than " +
                                std::to_string(kMaxHistoryLineBytes) + " bytes");
        } else {
            ReadLine();
        }
        line_.clear();
        overlong_ = false;
    }

    void ReadLine() {
        if (!line_.empty() && line_.back() == '\r')
            line_.pop_back();
        if (line_.find_first_not_of(" \t") == std::string::npos)
            return;
        HistoryRecord record;
        std::string reason;
        if (HistoryRecordFromJson(line_, record, reason)) {
            records_.push_back(std::move(record));
        } else {
            warnings_.push_back("line " + std::to_string(lineNumber_) + ": " + reason);
        }
    }

    std::vector<HistoryRecord>& records_;
    std::vector<std::string>& warnings_;
    std::string line_;
    bool overlong_ = false;
    std::size_t lineNumber_ = 0;
};

}  // namespace

void ParseHistoryText(const std::string& text, std::vector<HistoryRecord>& records,
                      std::vector<std::string>& warnings) {
    HistoryLineReader reader(records, warnings);
    reader.Feed(text.data(), text.size());
    reader.Finish();
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
        HistoryLineReader reader(records, warnings);
        std::vector<char> chunk(64 * 1024);
        while (file) {
            file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            reader.Feed(chunk.data(), static_cast<std::size_t>(file.gcount()));
        }
        if (file.bad()) {
            systemError = "read failed";
            return HISTORY_ERR_READ;
        }
        reader.Finish();
        return HISTORY_OK;
    } catch (const std::exception& exception) {
        systemError = exception.what();
        return HISTORY_ERR_READ;
    }
}

}  // namespace veltrin
