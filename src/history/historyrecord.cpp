#include "history/historyrecord.h"

#include <cstdint>
#include <exception>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <functional>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

namespace veltrin {

namespace {

using Json = nlohmann::ordered_json;

// One place that names every field, its JSON value and its text, so JSON and CSV never differ.
struct Field {
    const char* Name;
    std::function<Json(const HistoryRecord&)> Value;
};

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        {"time", [](const HistoryRecord& r) { return Json(r.Time); }},
        {"program", [](const HistoryRecord& r) { return Json(r.Program); }},
        {"program_version", [](const HistoryRecord& r) { return Json(r.ProgramVersion); }},
        {"computer", [](const HistoryRecord& r) { return Json(r.Computer); }},
        {"user", [](const HistoryRecord& r) { return Json(r.User); }},
        {"port", [](const HistoryRecord& r) { return Json(r.Port); }},
        {"device_type", [](const HistoryRecord& r) { return Json(r.DeviceType); }},
        {"device_type_text", [](const HistoryRecord& r) { return Json(r.DeviceTypeText); }},
        {"family", [](const HistoryRecord& r) { return Json(r.Family); }},
        {"info_text", [](const HistoryRecord& r) { return Json(r.InfoText); }},
        {"version_text_0", [](const HistoryRecord& r) { return Json(r.VersionText0); }},
        {"version_text_1", [](const HistoryRecord& r) { return Json(r.VersionText1); }},
        {"firmware_file", [](const HistoryRecord& r) { return Json(r.FirmwareFile); }},
        {"firmware_version", [](const HistoryRecord& r) { return Json(r.FirmwareVersion); }},
        {"firmware_sha256", [](const HistoryRecord& r) { return Json(r.FirmwareSha256); }},
        {"variant_file", [](const HistoryRecord& r) { return Json(r.VariantFile); }},
        {"variant_sha256", [](const HistoryRecord& r) { return Json(r.VariantSha256); }},
        {"variant_file_refused", [](const HistoryRecord& r) { return Json(r.VariantFileRefused); }},
        {"update_data_verified", [](const HistoryRecord& r) { return Json(r.UpdateDataVerified); }},
        {"update_data_key", [](const HistoryRecord& r) { return Json(r.UpdateDataKey); }},
        {"variant_id",
         [](const HistoryRecord& r) { return r.VariantId ? Json(*r.VariantId) : Json(nullptr); }},
        {"result_code", [](const HistoryRecord& r) { return Json(r.ResultCode); }},
        {"result_text", [](const HistoryRecord& r) { return Json(r.ResultText); }},
        {"terminated", [](const HistoryRecord& r) { return Json(r.Terminated); }},
        {"outcome", [](const HistoryRecord& r) { return Json(RecordOutcome(r)); }},
        {"duration_ms", [](const HistoryRecord& r) { return Json(r.DurationMs); }},
        {"left_alone", [](const HistoryRecord& r) { return Json(r.LeftAlone); }},
    };
    return fields;
}

std::string Dump(const Json& json) {
    // Device texts and file names may hold bytes that are not UTF-8; replace them rather than
    // lose the record.
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Spreadsheets read a cell that starts with one of these as a formula.
bool LooksLikeFormula(const std::string& text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

std::string CsvCell(const Json& value, char separator) {
    std::string text;
    bool formula = false;
    if (value.is_string()) {
        text = value.get<std::string>();
        formula = LooksLikeFormula(text);
    } else if (!value.is_null()) {
        text = Dump(value);
    }
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (!formula && text.find_first_of(special) == std::string::npos)
        return text;
    std::string quoted = formula ? "\"'" : "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// A number field takes only a whole number its type can hold: the library would convert
// 1e80 or 2.5 to an integer as well, and a float out of range is undefined behaviour.
template <typename T>
T WholeNumber(const Json& value) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number <= static_cast<std::uint64_t>(std::numeric_limits<T>::max()))
            return static_cast<T>(number);
    } else if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number >= static_cast<std::int64_t>(std::numeric_limits<T>::min()) &&
            (number < 0 ||
             static_cast<std::uint64_t>(number) <=
                 static_cast<std::uint64_t>(std::numeric_limits<T>::max())))
            return static_cast<T>(number);
    }
    throw std::range_error("not a whole number of the field's range");
}

template <typename T>
void Take(const Json& object, const char* name, T& target) {
    const auto found = object.find(name);
    if (found == object.end() || found->is_null())
        return;
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
        target = WholeNumber<T>(*found);
    else
        target = found->get<T>();
}

}  // namespace

std::string HistoryRecordToJson(const HistoryRecord& record) {
    try {
        Json json = Json::object();
        for (const Field& field : Fields())
            json[field.Name] = field.Value(record);
        return Dump(json);
    } catch (const std::exception&) {
        return {};
    }
}

bool HistoryRecordFromJson(const std::string& line, HistoryRecord& record, std::string& reason) {
    record = HistoryRecord{};
    try {
        const Json json = Json::parse(line, nullptr, false);
        if (json.is_discarded() || !json.is_object()) {
            reason = "not a JSON object";
            return false;
        }
        const auto time = json.find("time");
        const auto code = json.find("result_code");
        if (time == json.end() || !time->is_string() || code == json.end() ||
            !code->is_number_integer()) {
            reason = "no time or result code";
            return false;
        }
        Take(json, "time", record.Time);
        Take(json, "program", record.Program);
        Take(json, "program_version", record.ProgramVersion);
        Take(json, "computer", record.Computer);
        Take(json, "user", record.User);
        Take(json, "port", record.Port);
        Take(json, "device_type", record.DeviceType);
        Take(json, "device_type_text", record.DeviceTypeText);
        Take(json, "family", record.Family);
        Take(json, "info_text", record.InfoText);
        Take(json, "version_text_0", record.VersionText0);
        Take(json, "version_text_1", record.VersionText1);
        Take(json, "firmware_file", record.FirmwareFile);
        Take(json, "firmware_version", record.FirmwareVersion);
        Take(json, "firmware_sha256", record.FirmwareSha256);
        Take(json, "variant_file", record.VariantFile);
        Take(json, "variant_sha256", record.VariantSha256);
        Take(json, "variant_file_refused", record.VariantFileRefused);
        Take(json, "update_data_verified", record.UpdateDataVerified);
        Take(json, "update_data_key", record.UpdateDataKey);
        if (const auto id = json.find("variant_id"); id != json.end() && !id->is_null())
            record.VariantId = WholeNumber<std::int32_t>(*id);
        Take(json, "result_code", record.ResultCode);
        Take(json, "result_text", record.ResultText);
        Take(json, "terminated", record.Terminated);
        Take(json, "left_alone", record.LeftAlone);
        Take(json, "duration_ms", record.DurationMs);
        return true;
    } catch (const std::exception&) {
        // A field of the wrong type: the line is damaged as a whole.
        record = HistoryRecord{};
        reason = "a field has the wrong type";
        return false;
    }
}

const char* RunOutcome(bool terminated, std::int32_t resultCode) {
    // The end dialog's order: a run the user ended is cancelled whatever its code.
    if (terminated)
        return "cancelled";
    return resultCode == 0 ? "success" : "failed";
}

const char* RecordOutcome(const HistoryRecord& record) {
    // Only the words this program writes: a record edited by hand cannot make up an outcome.
    if (record.Terminated && record.ResultCode == 0) {
        for (const char* word : {"up-to-date", "newer-than-release"}) {
            if (record.LeftAlone == word)
                return word;
        }
    }
    return RunOutcome(record.Terminated, record.ResultCode);
}

std::string HistoryCsvHeader(char separator) {
    std::string line;
    for (const Field& field : Fields()) {
        if (!line.empty())
            line += separator;
        line += field.Name;
    }
    return line + "\r\n";
}

std::string HistoryCsvLine(const HistoryRecord& record, char separator) {
    try {
        std::string line;
        bool first = true;
        for (const Field& field : Fields()) {
            if (!first)
                line += separator;
            first = false;
            line += CsvCell(field.Value(record), separator);
        }
        return line + "\r\n";
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace veltrin
