// download: fetch and check the update data, and keep it in a folder.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "common/printabletext.h"
#include "common/texttrim.h"
#include "common/utf8path.h"
#include "diagnostics/clprotocol.h"
#include "download/checksumlist.h"
#include "download/indexnames.h"
#include "download/stagedfolder.h"
#include "download/updatedatareason.h"
#include "events/jsonevents.h"
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
    } else if (file.Result < 0) {
        io.Out << PrintableText(file.Name) << " - not fetched\n";
    } else if (file.Result != HTTPS_OK) {
        io.Out << PrintableText(file.Name) << " - " << HttpsClient::GetResultText(file.Result)
               << ": " << PrintableText(file.Error) << '\n';
    } else {
        io.Out << PrintableText(file.Name) << " - " << bytes << " bytes"
               << (file.Refusal.empty() ? "" : ", refused: " + PrintableText(file.Refusal)) << '\n';
    }
}

bool AnyFileRefused(const UpdateDownloadReport& report) {
    return !report.QuorvanOtg.Refusal.empty() || !report.TarnovelleK7.Refusal.empty() ||
           !report.Variants.Refusal.empty();
}

void PrintVerification(CliIo& io, const UpdateDownloadReport& report) {
    const UpdateVerification& verification = report.Verification;
    if (verification.Check != UpdateDataCheck::Refused && AnyFileRefused(report)) {
        // The list may be sound; the data as a whole is not what it promises.
        io.Out << "Update data: not verified, a file does not match " << kChecksumFileName << '\n';
        return;
    }
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

// One file the folder would get.
struct FolderFile {
    std::string Name;
    const void* Data;
    std::size_t Size;
};

template <typename Bytes>
void AddFile(std::vector<FolderFile>& files, const std::string& name, const Bytes& bytes) {
    files.push_back({name, bytes.data(), bytes.size()});
}

// Why the folder is not written at all; empty when it may be. A folder that carries a checksum
// list is written only when every file the list names is there and matches it.
std::string WhyNotSaved(const UpdateDownloadReport& report, const std::vector<FolderFile>& files) {
    const UpdateVerification& verification = report.Verification;
    if (verification.Check == UpdateDataCheck::Refused) {
        return "the update data was refused";
    }
    if (AnyFileRefused(report)) {
        return "a file does not match " + std::string(kChecksumFileName);
    }
    for (const auto& listed : verification.Digests) {
        const bool fetched = std::any_of(files.begin(), files.end(), [&](const FolderFile& f) {
            return f.Name == listed.first;
        });
        if (!fetched) {
            return std::string(kChecksumFileName) + " lists " + PrintableText(listed.first) +
                   ", which was not fetched";
        }
    }
    return {};
}

// Writes all files or none; a link planted at a name in the folder is replaced, not followed.
bool SaveFolder(CliIo& io, const std::filesystem::path& folder,
                const std::vector<FolderFile>& files) {
    StagedFolder staged(folder);
    for (const FolderFile& file : files) {
        if (const std::string why = staged.Stage(file.Name, file.Data, file.Size); !why.empty()) {
            io.Err << "veltrin-cli: cannot write " << Utf8FromPath(staged.Target(file.Name)) << ": "
                   << why << '\n';
            return false;
        }
    }
    if (const std::string why = staged.Commit(); !why.empty()) {
        io.Err << "veltrin-cli: cannot write into " << Utf8FromPath(folder) << ": " << why << '\n';
        return false;
    }
    for (const FolderFile& file : files) {
        io.Out << "  saved " << Utf8FromPath(staged.Target(file.Name)) << '\n';
    }
    return true;
}

Json FileOutcome(const char* what, const UpdateFileReport& file, std::size_t bytes) {
    return {
        {"file", what},
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
                FileOutcome("quorvan_firmware", report.QuorvanOtg, report.QuorvanOtg.Bytes));
    events.Emit("download_file",
                FileOutcome("tarnovelle_firmware", report.TarnovelleK7, report.TarnovelleK7.Bytes));
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
    if (quorvan.empty() && tarnovelle.empty() && !arguments.TraceFile.empty()) {
        ClProtocol trace;
        trace.SetFileName(arguments.TraceFile);
        trace.WriteTimedLine("No data found for update: " + NoUpdateDataReason(report));
    }
    if (events != nullptr) {
        EmitDownloadOutcome(*events, data, variants, report);
        return !quorvan.empty() || !tarnovelle.empty();
    }

    if (report.IndexResult != HTTPS_OK) {
        io.Out << "Index " << report.IndexUrl << ": "
               << HttpsClient::GetResultText(report.IndexResult) << ": "
               << PrintableText(report.IndexError) << '\n';
    }
    PrintFileOutcome(io, "Quorvan/plus firmware", report.QuorvanOtg, report.QuorvanOtg.Bytes);
    PrintFileOutcome(io, "Tarnovelle K7/K7x firmware", report.TarnovelleK7,
                     report.TarnovelleK7.Bytes);
    PrintFileOutcome(io, "Variant file", report.Variants, report.VariantFileBytes.size());
    if (!report.Variants.Refusal.empty()) {
        io.Out << "Variant file not usable: " << report.Variants.Refusal << '\n';
    } else if (report.VariantLoadResult > 0) {
        io.Out << "Variant file not usable: " << report.VariantLoadResult << " "
               << ClQuorvanVariants::GetResultText(report.VariantLoadResult) << '\n';
    } else if (report.VariantLoadResult == PAR_OK) {
        io.Out << "Variants: " << variants.GetCount() << '\n';
    }
    PrintVerification(io, report);
    io.Out << "Latest update version:\n";
    io.Out << "  " << kFamilyLabelQuorvanOtg << ": "
           << (quorvan.empty() ? "not available" : quorvan) << '\n';
    io.Out << "  " << kFamilyLabelTarnovelleK7 << ": "
           << (tarnovelle.empty() ? "not available" : tarnovelle) << '\n';
    return !quorvan.empty() || !tarnovelle.empty();
}

std::string NoUpdateDataCause(const UpdateDownloadReport& report) {
    return "Cause: " + NoUpdateDataReason(report) + '\n';
}

std::string RefusedVariantsNote(const UpdateData& data, const UpdateDownloadReport& report) {
    if (!data.VariantsRefused) {
        return {};
    }
    return "Variant parameters: none restored, the variant file " +
           PrintableText(report.Variants.Name) +
           " was refused: " + PrintableText(report.Variants.Refusal) + '\n';
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

    // Only a bare file name from the index becomes a file in the folder; the list and its
    // signature go with the files, so the folder stays checkable offline.
    std::vector<FolderFile> files;
    const auto addFetched = [&](const UpdateFileReport& file, const auto& bytes) {
        if (file.Result != HTTPS_OK || bytes.empty()) {
            return;
        }
        if (!IsPlainFileName(file.Name)) {
            io.Out << "  not saved, not a plain file name: " << PrintableText(file.Name) << '\n';
            return;
        }
        AddFile(files, file.Name, bytes);
    };
    const UpdateVerification& verification = report.Verification;
    if (report.IndexResult == HTTPS_OK) {
        AddFile(files, kIndexFileName, report.IndexText);
        if (!verification.ChecksumText.empty()) {
            AddFile(files, kChecksumFileName, verification.ChecksumText);
        }
        if (!verification.Signature.empty()) {
            AddFile(files, kChecksumSignatureFileName, verification.Signature);
        }
    }
    addFetched(report.QuorvanOtg, data.HexQuorvanOtg);
    addFetched(report.TarnovelleK7, data.HexTarnovelleK7);
    addFetched(report.Variants, report.VariantFileBytes);
    bool allSaved = false;
    if (const std::string why = WhyNotSaved(report, files); !why.empty()) {
        io.Out << "  nothing saved, " << why << '\n';
    } else {
        allSaved = SaveFolder(io, folder, files);
    }
    if (!usable) {
        io.Out << "No data found for update.\n";
    }
    return usable && allSaved ? 0 : kExitFailure;
}

}  // namespace veltrin
