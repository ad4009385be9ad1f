#include "history/historyrecorder.h"

#include <cstdio>
#include <exception>

#include "common/texttrim.h"
#include "engine/devicefamily.h"
#include "history/historyfile.h"
#include "crypto/sha256.h"
#include "protocol/devicetypes.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

constexpr char kVersionPrefix[] = "Version ";

std::string BareVersion(const std::string& label) {
    std::string version = TrimText(label);
    if (version.rfind(kVersionPrefix, 0) == 0)
        version.erase(0, sizeof(kVersionPrefix) - 1);
    return version;
}

std::string HashOf(const std::string& text) {
    return text.empty() ? std::string() : Sha256Hex(text.data(), text.size());
}

}  // namespace

std::string UtcTimeText(std::chrono::system_clock::time_point time) {
    // Days since the epoch to a civil date (proleptic Gregorian), so no thread-unsafe gmtime is
    // needed on either system.
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    const auto days = std::chrono::floor<std::chrono::days>(seconds);
    const std::chrono::year_month_day date{std::chrono::sys_days(days)};
    const std::chrono::hh_mm_ss clock{seconds - days};
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

const char* ProgramVersionText() {
    return VELTRIN_PROGRAM_VERSION;
}

UpdateHistoryRecorder::UpdateHistoryRecorder(std::string program, std::string fileName)
    : program_(std::move(program)), fileName_(std::move(fileName)) {}

void UpdateHistoryRecorder::NoteUpdateData(const UpdateData& data) {
    try {
        quorvan_ = {data.FileNameQuorvanOtg, BareVersion(data.VersionQuorvanOtg),
                    HashOf(data.HexQuorvanOtg)};
        tarnovelle_ = {data.FileNameTarnovelleK7, BareVersion(data.VersionTarnovelleK7),
                       HashOf(data.HexTarnovelleK7)};
        variantFile_ = data.FileNameVariants;
        variantSha256_ = data.VariantFileBytes.empty()
                             ? std::string()
                             : Sha256Hex(data.VariantFileBytes.data(), data.VariantFileBytes.size());
        signingKey_ = data.Check == UpdateDataCheck::Signature ? data.SigningKey : std::string();
        variantsRefused_ = data.VariantsRefused;
    } catch (const std::exception&) {
        quorvan_ = tarnovelle_ = FirmwareFacts{};
        variantFile_.clear();
        variantSha256_.clear();
        signingKey_.clear();
    }
}

void UpdateHistoryRecorder::RunStarted() {
    deviceReported_ = false;
    device_ = TSDeviceReport{};
    leftAlone_.clear();
    start_ = std::chrono::steady_clock::now();
    startTime_ = UtcTimeText(std::chrono::system_clock::now());
}

void UpdateHistoryRecorder::DeviceReported(const TSDeviceReport& device) {
    deviceReported_ = true;
    device_ = device;
}

HistoryRecord UpdateHistoryRecorder::CurrentRecord(std::int32_t resultCode, bool terminated) const {
    HistoryRecord record;
    record.Time = startTime_;
    record.Program = program_;
    record.ProgramVersion = ProgramVersionText();
    record.Computer = ComputerName();
    record.User = AccountName();
    record.Port = device_.Port;
    record.DeviceType = device_.DeviceType;
    record.DeviceTypeText = DeviceTypeText(device_.DeviceType);
    const FirmwareFacts* firmware = nullptr;
    if (IsQuorvanOtgType(device_.DeviceType)) {
        record.Family = kFamilyLabelQuorvanOtg;
        firmware = &quorvan_;
        // Only the electronic pipette takes variant parameters.
        record.VariantFile = variantFile_;
        record.VariantSha256 = variantSha256_;
        record.VariantFileRefused = variantsRefused_;
    } else if (IsTarnovelleK7Type(device_.DeviceType)) {
        record.Family = kFamilyLabelTarnovelleK7;
        firmware = &tarnovelle_;
    }
    if (firmware != nullptr) {
        record.FirmwareFile = firmware->File;
        record.FirmwareVersion = firmware->Version;
        record.FirmwareSha256 = firmware->Sha256;
    }
    // Verified means every file the run used; a pipette that lost its variant file ran on part.
    record.UpdateDataVerified = !signingKey_.empty() && !record.VariantFileRefused;
    record.UpdateDataKey = signingKey_;
    record.InfoText = device_.InfoText;
    record.VersionText0 = device_.VersionText0;
    record.VersionText1 = device_.VersionText1;
    if (device_.HasVariantId)
        record.VariantId = device_.VariantId;
    record.ResultCode = resultCode;
    record.Terminated = terminated;
    if (terminated)
        record.LeftAlone = leftAlone_;
    const EndTexts texts = ResultTexts(terminated, resultCode, {});
    record.ResultText = texts.ErrorText.empty() ? texts.Status : texts.ErrorText;
    record.DurationMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start_)
                            .count();
    return record;
}

int UpdateHistoryRecorder::RunEnded(std::int32_t resultCode, bool terminated, std::string& error) {
    error.clear();
    if (!deviceReported_)
        return HISTORY_OK;
    deviceReported_ = false;
    if (fileName_.empty()) {
        error = NoHistoryLocationText();
        return HISTORY_ERR_NO_LOCATION;
    }
    try {
        const std::string line = HistoryRecordToJson(CurrentRecord(resultCode, terminated));
        if (line.empty()) {
            error = HistoryResultText(HISTORY_ERR_WRITE);
            return HISTORY_ERR_WRITE;
        }
        std::string systemError;
        const int code = AppendHistoryLine(fileName_, line, systemError);
        if (code != HISTORY_OK) {
            error = std::string(HistoryResultText(code)) + " " + fileName_ +
                    (systemError.empty() ? "" : ": " + systemError);
        }
        return code;
    } catch (const std::exception& exception) {
        error = std::string(HistoryResultText(HISTORY_ERR_WRITE)) + ": " + exception.what();
        return HISTORY_ERR_WRITE;
    }
}

}  // namespace veltrin
