#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/clquorvanvariants.h"
#include "data/firmwarelayout.h"
#include "download/httpsclient.h"
#include "download/updateverification.h"

namespace veltrin {

// The four update texts the window keeps and hands to every worker.
struct UpdateData {
    std::string HexQuorvanOtg;
    std::string VersionQuorvanOtg;  // "Version dd.dd.dd" or empty
    std::string HexTarnovelleK7;
    std::string VersionTarnovelleK7;
    // Where the texts came from, for the update history: the names the index gave for the files
    // that arrived, and the variant file as fetched when its table loaded.
    std::string FileNameQuorvanOtg;
    std::string FileNameTarnovelleK7;
    std::string FileNameVariants;
    std::vector<std::uint8_t> VariantFileBytes;
    // How the files above were checked, and the fingerprint of the key that signed them.
    UpdateDataCheck Check = UpdateDataCheck::None;
    std::string SigningKey = {};
    // The index named a variant file that failed SHA256SUMS or its signature: the run restores
    // no variant parameters, and the data it used is not wholly verified.
    bool VariantsRefused = false;
};

// Called with the text a family's version label shows while the download works:
// "loading ..." and "check Firmware ...".
using DownloadLabelFunction = std::function<void(FirmwareFamily family, const std::string& text)>;

constexpr char kLabelLoading[] = "loading ...";
constexpr char kLabelCheckFirmware[] = "check Firmware ...";
constexpr char kIndexFileName[] = "files.txt";

// What happened to one of the three files the index names.
struct UpdateFileReport {
    std::string Name;  // as the index names it; empty when it names none
    std::string Url;   // empty when not fetched
    int Result = -1;   // HttpsResult of the fetch; -1 when not fetched
    std::string Error;
    std::size_t Bytes = 0;  // as fetched, also when refused
    std::string Refusal;    // why the fetched file failed SHA256SUMS or its signature; else empty
};

// The details of one download, for front ends that show more than the version labels.
struct UpdateDownloadReport {
    std::string IndexUrl;
    int IndexResult = -1;
    std::string IndexError;
    std::string IndexText;
    UpdateFileReport QuorvanOtg;
    UpdateFileReport TarnovelleK7;
    UpdateFileReport Variants;
    int VariantLoadResult = -1;  // VariantFileResult; -1 when nothing was loaded
    std::vector<std::uint8_t> VariantFileBytes;
    UpdateVerification Verification;
};

// The build-time base URL of the update server; its path ends in "/pipette-update".
const char* DefaultUpdateServerBase();

// serverBase + "/files.txt", trimmed.
std::string MakeIndexUrl(const std::string& serverBase);
// serverBase + "//" + name, trimmed, with the name's blanks, control and non-ASCII bytes
// percent-encoded.
std::string MakeUpdateFileUrl(const std::string& serverBase, const std::string& name);

// Fetches "files.txt" under serverBase, the two firmware files and the variant parameter file it
// names, loads the variant table and checks both firmware images. Never throws; every failure
// only leaves its field empty (or the table empty).
// Where the folder has a SHA256SUMS, or trust holds a key, a file that fails that check is not
// kept: a firmware's text is cleared (so it is fetched again later), a variant file is not
// loaded. A refused index or checksum list fetches none of the files the index names.
void DownloadUpdateData(HttpsClient& client, const std::string& serverBase, UpdateData& data,
                        ClQuorvanVariants& variants, const DownloadLabelFunction& label = {},
                        UpdateDownloadReport* report = nullptr,
                        const UpdateTrust& trust = BuiltInUpdateTrust());

}  // namespace veltrin
