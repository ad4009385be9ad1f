// download: fetch and check the update data, and keep it in a folder.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "commands.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "common/utf8path.h"
#include "download/checksumlist.h"
#include "download/indexnames.h"
#include "jsonevents.h"
#include "report/endtexts.h"

namespace veltrin {

namespace {

const char* FamilyLabel(FirmwareFamily family) {
    return family == FirmwareFamily::QuorvanOtg ? kFamilyLabelQuorvanOtg : kFamilyLabelTarnovelleK7;
}

void PrintFileOutcome(CliIo& io, const char* what, const UpdateFileReport& file,
                      std::size_t bytes) {
    io.Out << what << ": ";
    if (file.Name.empty()) {
        io.Out << "not named in the index\n";
    } else if (file.Result != HTTPS_OK) {
        io.Out << PrintableText(file.Name) << " - " << HttpsClient::GetResultText(file.Result)
               << ": " << PrintableText(file.Error) << '\n';
    } else {
        io.Out << PrintableText(file.Name) << " - " << bytes << " bytes"
               << (file.Refusal.empty() ? "" : ", refused: " + PrintableText(file.Refusal))
               << '\n';
    }
}

void PrintVerification(CliIo& io, const UpdateVerification& verification) {
    switch (verification.Check) {
        case UpdateDataCheck::None:
            return;  // an unsigned folder without checksums reads as it always did
        case UpdateDataCheck::Checksums:
            io.Out << "Update data: every file matches " << kChecksumFileName
                   << " (no trusted key to check its signature)\n";
            return;
        case UpdateDataCheck::Signature:
            io.Out << "Update data: verified, signed by the trusted key "
                   << verification.KeyFingerprint << '\n';
            return;
        case UpdateDataCheck::Refused:
            io.Out << "Update data: refused: " << PrintableText(verification.Problem) << '\n';
            return;
    }
}

Json NullIfEmpty(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

template <typename Bytes>
void SaveFile(CliIo& io, const std::filesystem::path& folder, const std::string& name,
              const Bytes& bytes, bool& allSaved) {
    // Only a bare file name from the index becomes a file in the folder.
    if (!IsPlainFileName(name)) {
        io.Out << "  not saved, not a plain file name: " << PrintableText(name) << '\n';
        return;
    }
    const std::filesystem::path target = folder / PathFromUtf8(name);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        io.Err << "veltrin-cli: cannot write " << Utf8FromPath(target) << '\n';
        allSaved = false;
        return;
    }
    io.Out << "  saved " << target.string() << '\n';
}

Json FileOutcome(const char* what, const UpdateFileReport& file, std::size_t bytes) {
    return {{"file", what},
            {"name", file.Name},
            {"url", file.Url},
            {"result", file.Result},
            {"result_text", file.Result < 0 ? "not fetched" : HttpsClient::GetResultText(file.Result)},
            {"error", file.Error},
            {"bytes", file.Result == HTTPS_OK ? bytes : 0},
            {"refusal", NullIfEmpty(file.Refusal)}};
}

void EmitDownloadOutcome(UpdateEventStream& events, const UpdateData& data,
                         const ClQuorvanVariants& variants, const UpdateDownloadReport& report) {
    events.Emit("download_file", {{"file", "index"},
                                  {"name", kIndexFileName},
                                  {"url", report.IndexUrl},
                                  {"result", report.IndexResult},
                                  {"result_text", HttpsClient::GetResultText(report.IndexResult)},
                                  {"error", report.IndexError},
                                  {"bytes", report.IndexText.size()},
                                  {"refusal", NullIfEmpty(report.IndexResult == HTTPS_OK
                                                              ? report.Verification.Problem
                                                              : std::string())}});
    events.Emit("download_file",
                FileOutcome("quorvan_firmware", report.QuorvanOtg, data.HexQuorvanOtg.size()));
    events.Emit("download_file", FileOutcome("tarnovelle_firmware", report.TarnovelleK7,
                                             data.HexTarnovelleK7.size()));
    events.Emit("download_file",
                FileOutcome("variants", report.Variants, report.VariantFileBytes.size()));
    const auto versionOrNull = [](const std::string& label) {
        const std::string trimmed = TrimText(label);
        return trimmed.empty() ? Json(nullptr) : Json(trimmed);
    };
    events.Emit("update_data",
                {{"quorvan_version", versionOrNull(data.VersionQuorvanOtg)},
                 {"tarnovelle_version", versionOrNull(data.VersionTarnovelleK7)},
                 {"variant_load_result", report.VariantLoadResult},
                 {"variants", report.VariantLoadResult == PAR_OK ? variants.GetCount() : 0},
                 {"check", UpdateDataCheckName(report.Verification.Check)},
                 {"signing_key", NullIfEmpty(report.Verification.KeyFingerprint)},
                 {"check_problem", NullIfEmpty(report.Verification.Problem)}});
}

}  // namespace

bool FetchUpdateData(const CliArguments& arguments, CliIo& io, UpdateData& data,
                     ClQuorvanVariants& variants, UpdateDownloadReport& report,
                     UpdateEventStream* events) {
    UpdateTrust trust = BuiltInUpdateTrust();
    for (const std::string& keyFile : arguments.TrustKeys) {
        if (const std::string problem = AddTrustedKeyFile(keyFile, trust); !problem.empty()) {
            io.Err << "veltrin-cli: --trust-key " << problem << '\n';
            return false;
        }
    }
    HttpsClientOptions options;
    options.CaFile = arguments.CaFile;
    HttpsClient client(options);
    std::string base = arguments.Server.empty() ? DefaultUpdateServerBase() : arguments.Server;
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();  // the composition adds its own slashes
    }
    if (events != nullptr) {
        events->Emit("download_start", {{"server", base}});
    } else {
        io.Out << "Update server: " << base << '\n';
    }
    DownloadUpdateData(
        client, base, data, variants,
        [&io, events](FirmwareFamily family, const std::string& text) {
            if (events != nullptr) {
                events->Emit("download", {{"family", FamilyLabel(family)}, {"state", text}});
            } else {
                io.Out << FamilyLabel(family) << ": " << text << '\n';
            }
        },
        &report, trust);
    const std::string quorvan = TrimText(data.VersionQuorvanOtg);
    const std::string tarnovelle = TrimText(data.VersionTarnovelleK7);
    if (events != nullptr) {
        EmitDownloadOutcome(*events, data, variants, report);
        return !quorvan.empty() || !tarnovelle.empty();
    }

    if (report.IndexResult != HTTPS_OK) {
        io.Out << "Index " << report.IndexUrl << ": "
               << HttpsClient::GetResultText(report.IndexResult) << ": "
               << PrintableText(report.IndexError) << '\n';
    }
    PrintFileOutcome(io, "Quorvan/plus firmware", report.QuorvanOtg, data.HexQuorvanOtg.size());
    PrintFileOutcome(io, "Tarnovelle K7/K7x firmware", report.TarnovelleK7,
                     data.HexTarnovelleK7.size());
    PrintFileOutcome(io, "Variant file", report.Variants, report.VariantFileBytes.size());
    if (!report.Variants.Refusal.empty()) {
        io.Out << "Variant file not usable: " << report.Variants.Refusal << '\n';
    } else if (report.VariantLoadResult > 0) {
        io.Out << "Variant file not usable: " << report.VariantLoadResult << " "
               << ClQuorvanVariants::GetResultText(report.VariantLoadResult) << '\n';
    } else if (report.VariantLoadResult == PAR_OK) {
        io.Out << "Variants: " << variants.GetCount() << '\n';
    }
    PrintVerification(io, report.Verification);
    io.Out << "Latest update version:\n";
    io.Out << "  " << kFamilyLabelQuorvanOtg << ": "
           << (quorvan.empty() ? "not available" : quorvan) << '\n';
    io.Out << "  " << kFamilyLabelTarnovelleK7 << ": "
           << (tarnovelle.empty() ? "not available" : tarnovelle) << '\n';
    return !quorvan.empty() || !tarnovelle.empty();
}

int RunDownloadCommand(const CliArguments& arguments, CliIo& io) {
    const std::filesystem::path folder = PathFromUtf8(arguments.Directory);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        io.Err << "veltrin-cli: cannot create the folder " << Utf8FromPath(folder) << '\n';
        return kExitFailure;
    }
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    const bool usable = FetchUpdateData(arguments, io, data, variants, report);

    // What failed its checksum or signature is not kept; the list and its signature are, so
    // the folder stays checkable offline.
    bool allSaved = true;
    const UpdateVerification& verification = report.Verification;
    if (verification.Check == UpdateDataCheck::Refused) {
        io.Out << "  nothing saved, the update data was refused\n";
    } else if (report.IndexResult == HTTPS_OK) {
        SaveFile(io, folder, kIndexFileName, report.IndexText, allSaved);
        if (!verification.ChecksumText.empty()) {
            SaveFile(io, folder, kChecksumFileName, verification.ChecksumText, allSaved);
        }
        if (!verification.Signature.empty()) {
            SaveFile(io, folder, kChecksumSignatureFileName, verification.Signature, allSaved);
        }
    }
    if (!data.HexQuorvanOtg.empty() && report.QuorvanOtg.Refusal.empty()) {
        SaveFile(io, folder, report.QuorvanOtg.Name, data.HexQuorvanOtg, allSaved);
    }
    if (!data.HexTarnovelleK7.empty() && report.TarnovelleK7.Refusal.empty()) {
        SaveFile(io, folder, report.TarnovelleK7.Name, data.HexTarnovelleK7, allSaved);
    }
    if (!report.VariantFileBytes.empty() && report.Variants.Refusal.empty()) {
        SaveFile(io, folder, report.Variants.Name, report.VariantFileBytes, allSaved);
    }
    if (!usable) {
        io.Out << "No data found for update.\n";
    }
    return usable && allSaved ? 0 : kExitFailure;
}

}  // namespace veltrin
