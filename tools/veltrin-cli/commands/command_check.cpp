// check: what a firmware file or a variant parameter file holds, and whether it is usable.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "common/printabletext.h"
#include "common/utf8path.h"
#include "data/clintelhex.h"
#include "data/clquorvanvariants.h"
#include "data/firmwarecheck.h"
#include "data/firmwarelayout.h"
#include "data/hexfault.h"
#include "events/jsonevents.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

constexpr std::uintmax_t kMaxCheckedFileBytes = 64ull * 1024 * 1024;
constexpr char kVariantMagic[] = "ZK_QUORVAN_PAR1";

bool ReadWholeFile(const std::string& fileName, std::string& content, std::string& error) {
    std::error_code code;
    const std::uintmax_t size = std::filesystem::file_size(PathFromUtf8(fileName), code);
    if (code) {
        error = code.message();
        return false;
    }
    if (size > kMaxCheckedFileBytes) {
        error = "larger than 64 MiB";
        return false;
    }
    std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
    content.assign(static_cast<std::size_t>(size), '\0');
    if (!file.read(content.data(), static_cast<std::streamsize>(size))) {
        error = "cannot be read";
        return false;
    }
    return true;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// A text field of a version block or the identifier, printable characters only.
std::string FieldText(const std::uint8_t* bytes, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length && bytes[i] != 0; ++i) {
        text += std::isprint(bytes[i]) ? static_cast<char>(bytes[i]) : '?';
    }
    return text;
}

std::string VersionBlockText(const std::uint8_t* block) {
    return FieldText(block, 8) + " | " + FieldText(block + 9, 12) + " | " +
           FieldText(block + 22, 8);
}

const char* RangeName(int range) {
    static const char* const kNames[kFirmwareRangeCount] = {"sounds",
                                                            "data version block",
                                                            "fonts",
                                                            "texts",
                                                            "bootloader",
                                                            "bootloader version block",
                                                            "bootloader version block",
                                                            "application",
                                                            "application body",
                                                            "device identifier",
                                                            "application version block"};
    return range >= 0 && range < kFirmwareRangeCount ? kNames[range] : "range";
}

std::string FailureText(const DownloadCheckOutcome& outcome) {
    switch (outcome.Step) {
        case DownloadCheckStep::Passed:
            return "passed";
        case DownloadCheckStep::TemporaryFile:
            return "no temporary file for the scan";
        case DownloadCheckStep::Scan:
            return std::string("not valid Intel HEX (") +
                   ClIntelHex::GetResultText(outcome.ScanResult) + "): " + outcome.ScanFault;
        case DownloadCheckStep::Identifier:
            return "the device identifier is not the family's";
        case DownloadCheckStep::ModuleMissing:
            return std::string("no data in the ") + RangeName(outcome.FailedRange);
        case DownloadCheckStep::VersionText:
            return std::string("the ") + RangeName(outcome.FailedRange) +
                   " holds no dd.dd.dd version";
        case DownloadCheckStep::VersionMismatch:
            return "application and data version blocks differ";
    }
    return "unknown";
}

struct ScannedFirmware {
    TSHexRange Ranges[kFirmwareRangeCount];
    FirmwareBuffers Buffers;
    int ScanResult = HEX_ERR_OPEN_FILE;
    std::string ScanFault;  // where the scan stopped and why
};

// ScanRanges reads from a file; the text goes through an anonymous temporary file.
void ScanFirmware(FirmwareFamily family, const std::string& text, ScannedFirmware& scanned) {
    PrepareImage(family, scanned.Ranges);
    scanned.Buffers = FirmwareBuffers{};
    scanned.Buffers.Attach(scanned.Ranges);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
    if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
        std::fflush(file.get()) != 0) {
        scanned.ScanResult = HEX_ERR_OPEN_FILE;
        return;
    }
    ClIntelHex reader;
    std::uint32_t line = 0;
    scanned.ScanResult = reader.ScanRanges(file.get(), scanned.Ranges, kFirmwareRangeCount, &line);
    scanned.ScanFault = DescribeHexFault(text, line, scanned.ScanResult);
}

// The text goes to out; json collects the same facts for --json.
int CheckFirmwareFile(const std::string& fileName, const std::string& text, std::ostream& out,
                      Json& json) {
    // Both layouts put the identifier at the same address; it decides the family, the file
    // name only when the identifier is unknown.
    auto scanned = std::make_unique<ScannedFirmware>();
    ScanFirmware(FirmwareFamily::QuorvanOtg, text, *scanned);
    const std::string identifier = scanned->Buffers.DeviceIdentifier();
    FirmwareFamily family = FirmwareFamily::QuorvanOtg;
    if (identifier == kTarnovelleK7Identifier ||
        (identifier != kQuorvanOtgIdentifier &&
         Utf8FromPath(PathFromUtf8(fileName).filename()).find("Tarnovelle_K7") !=
             std::string::npos)) {
        family = FirmwareFamily::TarnovelleK7;
        ScanFirmware(family, text, *scanned);
    }
    const bool quorvan = family == FirmwareFamily::QuorvanOtg;
    TSHexRange* ranges = scanned->Ranges;
    FirmwareBuffers& buffers = scanned->Buffers;

    const bool large =
        ClIntelHex::GetDataSize(ranges[RANGE_BOOTLOADER]) > kLargeBootloaderThreshold;
    json = {{"file", fileName},
            {"kind", "firmware"},
            {"family", quorvan ? kFamilyLabelQuorvanOtg : kFamilyLabelTarnovelleK7},
            {"scan_result", scanned->ScanResult},
            {"scan_result_text", ClIntelHex::GetResultText(scanned->ScanResult)},
            {"scan_fault", scanned->ScanFault},
            {"identifier", FieldText(buffers.DeviceId, sizeof(buffers.DeviceId) - 1)},
            {"application_version_block", VersionBlockText(buffers.AppVersion)},
            {"data_version_block", VersionBlockText(buffers.DataVersion)},
            {"bootloader_version_block",
             VersionBlockText(large ? buffers.BootVersionLarge : buffers.BootVersionSmall)},
            {"large_bootloader", large}};
    out << "File: " << fileName << '\n';
    out << "Family: " << (quorvan ? kFamilyLabelQuorvanOtg : kFamilyLabelTarnovelleK7) << '\n';
    out << "Scan: " << scanned->ScanResult << " "
           << ClIntelHex::GetResultText(scanned->ScanResult) << '\n';
    if (!scanned->ScanFault.empty()) {
        out << "  " << PrintableText(scanned->ScanFault) << '\n';
    }
    out << "Identifier: " << FieldText(buffers.DeviceId, sizeof(buffers.DeviceId) - 1) << '\n';
    out << "Application version block: " << VersionBlockText(buffers.AppVersion) << '\n';
    out << "Data version block:        " << VersionBlockText(buffers.DataVersion) << '\n';
    out << "Bootloader version block:  "
           << VersionBlockText(large ? buffers.BootVersionLarge : buffers.BootVersionSmall)
           << (large ? "  (large bootloader)" : "") << '\n';

    struct Module {
        const char* Name;
        FirmwareRange Range;
    };
    std::vector<Module> modules = {{"Bootloader", RANGE_BOOTLOADER},
                                   {"Fonts", RANGE_FONTS},
                                   {"Texts", RANGE_TEXTS},
                                   {"Application", RANGE_APPLICATION},
                                   {"Application body", RANGE_APPLICATION_BODY}};
    if (quorvan) {
        modules.insert(modules.begin() + 1, Module{"Sounds", RANGE_SOUNDS});
    }
    out << "Module sizes (bytes):\n";
    Json sizes = Json::object();
    for (const auto& module : modules) {
        sizes[module.Name] = ClIntelHex::GetDataSize(ranges[module.Range]);
        out << "  " << std::left << std::setw(18) << module.Name << std::right
               << ClIntelHex::GetDataSize(ranges[module.Range]) << '\n';
    }

    json["module_sizes"] = sizes;

    const DownloadCheckOutcome outcome = EvaluateDownloadedFirmware(family, text);
    const bool passes = outcome.Step == DownloadCheckStep::Passed;
    json["passes"] = passes;
    json["version"] = passes ? Json(outcome.Version) : Json(nullptr);
    json["failure"] = passes ? Json(nullptr) : Json(FailureText(outcome));
    if (!passes) {
        out << "Result: fails the check: " << PrintableText(FailureText(outcome)) << '\n';
        return kExitFailure;
    }
    out << "Result: passes, Version " << outcome.Version << '\n';
    return 0;
}

int CheckVariantFile(const std::string& fileName, const std::string& content, std::ostream& out,
                     Json& json) {
    ClQuorvanVariants variants;
    MemoryByteSource source(reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
    const int result = variants.Load(source);
    json = {{"file", fileName},
            {"kind", "variants"},
            {"result", result},
            {"result_text", ClQuorvanVariants::GetResultText(result)},
            {"passes", result == PAR_OK}};
    out << "File: " << fileName << '\n';
    out << "Result: " << result << " " << ClQuorvanVariants::GetResultText(result) << '\n';
    if (result != PAR_OK) {
        return kExitFailure;
    }
    out << "Variants: " << variants.GetCount() << '\n';
    Json list = Json::array();
    for (std::size_t i = 0; i < variants.GetCount(); ++i) {
        const auto& record = variants.GetRecord(i);
        std::ostringstream id;
        id << "0x" << std::hex << std::uppercase << std::setw(4) << std::setfill('0')
           << record.VariantId;
        const std::string tip = FieldText(
            reinterpret_cast<const std::uint8_t*>(record.TipParamVersion),
            sizeof(record.TipParamVersion));
        const std::string motor = FieldText(
            reinterpret_cast<const std::uint8_t*>(record.MotorParamVersion),
            sizeof(record.MotorParamVersion));
        list.push_back({{"variant_id", record.VariantId}, {"tip", tip}, {"motor", motor}});
        out << "  " << id.str() << "  tip " << tip << ", motor " << motor << '\n';
    }
    json["variants"] = list;
    return 0;
}

}  // namespace

int RunCheckCommand(const CliArguments& arguments, CliIo& io) {
    std::string content;
    std::string error;
    if (!ReadWholeFile(arguments.File, content, error)) {
        io.Err << "veltrin-cli: " << arguments.File << ": " << error << '\n';
        if (arguments.Json) {
            WriteJsonLine(io.Out, {{"file", arguments.File}, {"passes", false}, {"error", error}});
        }
        return kExitFailure;
    }
    const bool variantFile = EndsWithNoCase(arguments.File, ".par") ||
                             content.compare(0, sizeof(kVariantMagic) - 1, kVariantMagic) == 0;
    std::ostringstream text;
    Json json;
    const int status = variantFile ? CheckVariantFile(arguments.File, content, text, json)
                                   : CheckFirmwareFile(arguments.File, content, text, json);
    if (arguments.Json) {
        WriteJsonLine(io.Out, json);
    } else {
        io.Out << text.str();
    }
    return status;
}

}  // namespace veltrin
