#include "download/updatedownload.h"

#include "common/texttrim.h"
#include "download/indexnames.h"
#include "download/urltext.h"

namespace veltrin {

namespace {

constexpr char kVersionPrefix[] = "Version ";

void ShowLabel(const DownloadLabelFunction& label, FirmwareFamily family, const char* text) {
    if (!label) {
        return;
    }
    try {
        label(family, text);
    } catch (...) {
        // A label that cannot be shown must not stop the download.
    }
}

// The index and the three names in it; on any failure all three names are empty. A fetched
// index also brings the folder's checksums, and an index that fails them refuses the folder.
IndexNames FetchIndexNames(HttpsClient& client, const std::string& serverBase,
                           UpdateDownloadReport* report, const UpdateTrust& trust,
                           UpdateVerification& verification) {
    try {
        const std::string url = MakeIndexUrl(serverBase);
        std::string index;
        const int result = client.GetText(url, index);
        if (report != nullptr) {
            report->IndexUrl = url;
            report->IndexResult = result;
            report->IndexError = result == HTTPS_OK ? std::string() : client.LastError();
            report->IndexText = index;
        }
        if (result != HTTPS_OK) {
            return {};
        }
        verification = FetchUpdateVerification(client, serverBase, trust);
        const std::string problem =
            verification.FileProblem(kIndexFileName, index.data(), index.size());
        if (!problem.empty() && verification.Check != UpdateDataCheck::Refused) {
            verification.Refuse(std::string(kIndexFileName) + ": " + problem);
        }
        return FindIndexNames(index);
    } catch (...) {
        return {};
    }
}

int Fetch(HttpsClient& client, const std::string& url, std::string& body) {
    return client.GetText(url, body);
}

int Fetch(HttpsClient& client, const std::string& url, std::vector<std::uint8_t>& body) {
    return client.GetBytes(url, body);
}

// Fetches a named file; the body stays empty when there is no name or the fetch fails.
template <typename Body>
void FetchFile(HttpsClient& client, const std::string& serverBase, const std::string& name,
               Body& body, UpdateFileReport* report) {
    body.clear();
    try {
        const std::string trimmedName = TrimText(name);
        if (report != nullptr) {
            report->Name = trimmedName;
        }
        if (trimmedName.empty()) {
            return;
        }
        if (!IsPlainFileName(trimmedName)) {
            // Treated like a file the server does not have: nothing is fetched.
            if (report != nullptr) {
                report->Result = HTTPS_ERR_URL;
                report->Error = "The index names no plain file name";
            }
            return;
        }
        const std::string url = MakeUpdateFileUrl(serverBase, trimmedName);
        const int result = Fetch(client, url, body);
        if (report != nullptr) {
            report->Url = url;
            report->Result = result;
            report->Error = result == HTTPS_OK ? std::string() : client.LastError();
        }
    } catch (...) {
        body.clear();
    }
}

template <typename Body>
std::string Refusal(const UpdateVerification& verification, const std::string& name,
                    const Body& body) {
    try {
        return body.empty() ? std::string()
                            : verification.FileProblem(TrimText(name), body.data(), body.size());
    } catch (...) {
        return "not checked";
    }
}

void LoadVariants(HttpsClient& client, const std::string& serverBase, const std::string& name,
                  ClQuorvanVariants& variants, UpdateData& data, UpdateDownloadReport* report,
                  const UpdateVerification& verification) {
    variants.Clear();
    data.FileNameVariants.clear();
    data.VariantFileBytes.clear();
    try {
        std::vector<std::uint8_t> bytes;
        FetchFile(client, serverBase, name, bytes, report ? &report->Variants : nullptr);
        if (bytes.empty()) {
            return;
        }
        if (std::string refusal = Refusal(verification, name, bytes); !refusal.empty()) {
            data.VariantsRefused = true;
            if (report != nullptr) {
                report->Variants.Refusal = std::move(refusal);
                report->VariantFileBytes = std::move(bytes);
            }
            return;
        }
        MemoryByteSource source(bytes.data(), bytes.size());
        const int result = variants.Load(source);
        if (result != PAR_OK) {
            variants.Clear();
        } else {
            data.FileNameVariants = TrimText(name);
            data.VariantFileBytes = bytes;
        }
        if (report != nullptr) {
            report->VariantLoadResult = result;
            report->VariantFileBytes = std::move(bytes);
        }
    } catch (...) {
        variants.Clear();
    }
}

std::string CheckFirmware(FirmwareFamily family, const std::string& hexText,
                          const DownloadLabelFunction& label, const std::string& refusal) {
    if (IsBlankText(hexText)) {
        return {};
    }
    ShowLabel(label, family, kLabelCheckFirmware);
    if (!refusal.empty()) {
        return {};  // not what the maker published: never parsed, never offered
    }
    try {
        const std::string version = CheckDownloadedFirmware(family, hexText);
        return version.empty() ? std::string() : kVersionPrefix + version;
    } catch (...) {
        return {};
    }
}

void ClearIfRefused(std::string& text, const std::string& refusal) {
    if (!refusal.empty()) {
        text.clear();
    }
}

// A folder whose index or checksum list is refused: nothing the index names is fetched, since
// the names themselves are unverified; every file reports the folder's problem.
void RefuseFolder(const IndexNames& names, UpdateData& data, ClQuorvanVariants& variants,
                  UpdateDownloadReport* report, UpdateVerification& verification) {
    data.HexQuorvanOtg.clear();
    data.HexTarnovelleK7.clear();
    data.FileNameQuorvanOtg.clear();
    data.FileNameTarnovelleK7.clear();
    data.FileNameVariants.clear();
    data.VariantFileBytes.clear();
    variants.Clear();
    data.VariantsRefused = !TrimText(names.Variants).empty();
    data.SigningKey.clear();
    if (report == nullptr) {
        return;
    }
    const auto refuse = [&verification](UpdateFileReport& file, const std::string& name) {
        file.Name = TrimText(name);
        if (!file.Name.empty()) {
            file.Refusal = verification.Problem;
        }
    };
    refuse(report->QuorvanOtg, names.QuorvanOtg);
    refuse(report->TarnovelleK7, names.TarnovelleK7);
    refuse(report->Variants, names.Variants);
    report->Verification = std::move(verification);
}

}  // namespace

const char* DefaultUpdateServerBase() {
    return VELTRIN_UPDATE_SERVER_BASE_URL;
}

std::string MakeIndexUrl(const std::string& serverBase) {
    return TrimText(TrimText(serverBase) + "/" + kIndexFileName);
}

std::string MakeUpdateFileUrl(const std::string& serverBase, const std::string& name) {
    return TrimText(TrimText(serverBase) + "//" + EncodeUnsafeUrlBytes(TrimText(name)));
}

void DownloadUpdateData(HttpsClient& client, const std::string& serverBase, UpdateData& data,
                        ClQuorvanVariants& variants, const DownloadLabelFunction& label,
                        UpdateDownloadReport* report, const UpdateTrust& trust) {
    if (report != nullptr) {
        *report = UpdateDownloadReport{};
    }
    data.VersionQuorvanOtg.clear();
    data.VersionTarnovelleK7.clear();
    ShowLabel(label, FirmwareFamily::QuorvanOtg, kLabelLoading);
    ShowLabel(label, FirmwareFamily::TarnovelleK7, kLabelLoading);

    UpdateVerification verification;
    const IndexNames names = FetchIndexNames(client, serverBase, report, trust, verification);
    data.VariantsRefused = false;
    data.Check = verification.Check;
    if (verification.Check == UpdateDataCheck::Refused) {
        RefuseFolder(names, data, variants, report, verification);
        return;
    }
    FetchFile(client, serverBase, names.QuorvanOtg, data.HexQuorvanOtg,
              report ? &report->QuorvanOtg : nullptr);
    FetchFile(client, serverBase, names.TarnovelleK7, data.HexTarnovelleK7,
              report ? &report->TarnovelleK7 : nullptr);
    LoadVariants(client, serverBase, names.Variants, variants, data, report, verification);
    const std::string quorvanRefusal = Refusal(verification, names.QuorvanOtg, data.HexQuorvanOtg);
    const std::string tarnovelleRefusal =
        Refusal(verification, names.TarnovelleK7, data.HexTarnovelleK7);
    if (report != nullptr) {
        report->QuorvanOtg.Bytes = data.HexQuorvanOtg.size();
        report->TarnovelleK7.Bytes = data.HexTarnovelleK7.size();
    }
    // A refused text is not kept: the window fetches again, as for a file that did not arrive.
    ClearIfRefused(data.HexQuorvanOtg, quorvanRefusal);
    ClearIfRefused(data.HexTarnovelleK7, tarnovelleRefusal);
    data.FileNameQuorvanOtg = data.HexQuorvanOtg.empty() ? "" : TrimText(names.QuorvanOtg);
    data.FileNameTarnovelleK7 = data.HexTarnovelleK7.empty() ? "" : TrimText(names.TarnovelleK7);

    data.VersionQuorvanOtg =
        CheckFirmware(FirmwareFamily::QuorvanOtg, data.HexQuorvanOtg, label, quorvanRefusal);
    data.VersionTarnovelleK7 =
        CheckFirmware(FirmwareFamily::TarnovelleK7, data.HexTarnovelleK7, label, tarnovelleRefusal);
    data.Check = verification.Check;
    data.SigningKey = verification.KeyFingerprint;
    if (report != nullptr) {
        report->QuorvanOtg.Refusal = quorvanRefusal;
        report->TarnovelleK7.Refusal = tarnovelleRefusal;
        report->Verification = std::move(verification);
    }
}

}  // namespace veltrin
