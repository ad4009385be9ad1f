#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "download/checksumlist.h"
#include "download/updatedownload.h"
#include "sampledata.h"
#include "support/signedfolder.h"
#include "support/tempdirectory.h"

namespace veltrin {
namespace {

namespace fs = std::filesystem;

// A folder as a maker publishes it, signed by key A; key B belongs to somebody else.
struct SignedFolder {
    test::TempDirectory Dir;
    fs::path Folder = Dir.Path() / "pipette-update";
    test::SigningKeyPair KeyA = test::MakeSigningKeyPair();
    test::SigningKeyPair KeyB = test::MakeSigningKeyPair();
    std::vector<std::string> Names;

    SignedFolder() {
        fs::create_directories(Folder);
        EXPECT_EQ(sample::WriteSampleSet(Folder.string(), {}), "");
        Names = test::SampleFolderNames(Folder.string());
        EXPECT_EQ(Names.size(), 4u);
        EXPECT_EQ(test::SignUpdateFolder(Folder.string(), Names, KeyA), "");
    }
    fs::path File(const std::string& name) const { return Folder / name; }
    std::string Name(const char* key) const {
        for (const std::string& name : Names)
            if (name.find(key) != std::string::npos)
                return name;
        return {};
    }
};

void ChangeOneByte(const fs::path& path) {
    ASSERT_TRUE(test::ChangeOneByte(path.string()));
}

enum Trust { kNoKey, kKeyA, kKeyB, kKeysBAndA, kUnreadableKey };
enum Usable : unsigned { kQuorvan = 1, kTarnovelle = 2, kVariants = 4, kAll = 7, kNothing = 0 };

struct FolderCase {
    const char* Name;
    std::function<void(SignedFolder&)> Tamper;
    Trust Keys;
    UpdateDataCheck Check;
    unsigned Usable;
    const char* Refusal;  // part of the folder's problem or of the refused files' reason
};

class SignedUpdateTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SignedUpdateTest, OnlyVerifiedFilesAreUsable) {
    const FolderCase& c = GetParam();
    SignedFolder folder;
    c.Tamper(folder);
    UpdateTrust trust;
    if (c.Keys == kKeyB || c.Keys == kKeysBAndA) {
        ASSERT_EQ(AddTrustedKeys(folder.KeyB.PublicPem, trust), "");
    }
    if (c.Keys == kKeyA || c.Keys == kKeysBAndA) {
        ASSERT_EQ(AddTrustedKeys(folder.KeyA.PublicPem, trust), "");
    }
    if (c.Keys == kUnreadableKey) {
        EXPECT_NE(AddTrustedKeyFile(folder.Dir.File("missing.pem"), trust), "");
    }

    HttpsClient client;
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    DownloadUpdateData(client, "file://" + folder.Folder.string(), data, variants, {}, &report,
                       trust);

    EXPECT_EQ(data.Check, c.Check) << report.Verification.Problem;
    EXPECT_EQ(!data.VersionQuorvanOtg.empty(), (c.Usable & kQuorvan) != 0);
    EXPECT_EQ(!data.VersionTarnovelleK7.empty(), (c.Usable & kTarnovelle) != 0);
    EXPECT_EQ(variants.GetCount() > 0, (c.Usable & kVariants) != 0);
    EXPECT_EQ(data.VariantFileBytes.empty(), (c.Usable & kVariants) == 0);
    // Every file that is not usable says why, with the expected reason.
    const std::string reasons = report.Verification.Problem + "|" + report.QuorvanOtg.Refusal +
                                "|" + report.TarnovelleK7.Refusal + "|" + report.Variants.Refusal;
    EXPECT_NE(reasons.find(c.Refusal), std::string::npos) << reasons;
    EXPECT_EQ(report.QuorvanOtg.Refusal.empty(), (c.Usable & kQuorvan) != 0);
    EXPECT_EQ(report.Variants.Refusal.empty(), (c.Usable & kVariants) != 0);
    EXPECT_EQ(data.VariantsRefused, (c.Usable & kVariants) == 0);
    // A refused text is not kept, so that the window fetches again; a refused folder fetches
    // nothing its unverified index names.
    EXPECT_EQ(data.HexQuorvanOtg.empty(), (c.Usable & kQuorvan) == 0);
    EXPECT_EQ(data.HexTarnovelleK7.empty(), (c.Usable & kTarnovelle) == 0);
    if (c.Check == UpdateDataCheck::Refused) {
        for (const UpdateFileReport* file : {&report.QuorvanOtg, &report.TarnovelleK7,
                                             &report.Variants}) {
            EXPECT_EQ(file->Result, -1) << file->Name;
            EXPECT_EQ(file->Url, "") << file->Name;
            EXPECT_FALSE(file->Name.empty());
        }
    }
    const bool signedByA = c.Check == UpdateDataCheck::Signature;
    EXPECT_EQ(data.SigningKey.empty(), !signedByA);
    if (signedByA) {
        UpdateTrust onlyA;
        ASSERT_EQ(AddTrustedKeys(folder.KeyA.PublicPem, onlyA), "");
        EXPECT_EQ(data.SigningKey, onlyA.Keys[0].Fingerprint);
    }
}

const auto kUntouched = [](SignedFolder&) {};

INSTANTIATE_TEST_SUITE_P(
    Folders, SignedUpdateTest,
    ::testing::Values(
        FolderCase{"SignedByTrustedKey", kUntouched, kKeyA, UpdateDataCheck::Signature, kAll, ""},
        FolderCase{"SecondOfTwoTrustedKeysSigned", kUntouched, kKeysBAndA,
                   UpdateDataCheck::Signature, kAll, ""},
        FolderCase{"ChangedByteInFirmware",
                   [](SignedFolder& f) { ChangeOneByte(f.File(f.Name("Quorvan"))); }, kKeyA,
                   UpdateDataCheck::Signature, kTarnovelle | kVariants, "SHA-256 differs"},
        FolderCase{"ChangedByteInVariantFile",
                   [](SignedFolder& f) { ChangeOneByte(f.File(f.Name(".par"))); }, kKeyA,
                   UpdateDataCheck::Signature, kQuorvan | kTarnovelle, "SHA-256 differs"},
        FolderCase{"ChangedByteInIndex",
                   [](SignedFolder& f) { ChangeOneByte(f.File("files.txt")); }, kKeyA,
                   UpdateDataCheck::Refused, kNothing, "files.txt: its SHA-256 differs"},
        FolderCase{"ChangedByteInChecksums",
                   [](SignedFolder& f) { ChangeOneByte(f.File(kChecksumFileName)); }, kKeyA,
                   UpdateDataCheck::Refused, kNothing, "not a valid signature"},
        FolderCase{"FileNotListed",
                   [](SignedFolder& f) {
                       std::vector<std::string> names = f.Names;
                       std::erase(names, f.Name(".par"));
                       ASSERT_EQ(test::SignUpdateFolder(f.Folder.string(), names, f.KeyA), "");
                   },
                   kKeyA, UpdateDataCheck::Signature, kQuorvan | kTarnovelle,
                   "not listed in SHA256SUMS"},
        FolderCase{"MissingSignature",
                   [](SignedFolder& f) { fs::remove(f.File(kChecksumSignatureFileName)); }, kKeyA,
                   UpdateDataCheck::Refused, kNothing, "no signature"},
        FolderCase{"GarbledSignature",
                   [](SignedFolder& f) { ChangeOneByte(f.File(kChecksumSignatureFileName)); },
                   kKeyA, UpdateDataCheck::Refused, kNothing, "not a valid signature"},
        FolderCase{"SignatureOfAnotherFile",
                   [](SignedFolder& f) {
                       test::WriteFileText(f.File(kChecksumSignatureFileName).string(), "");
                   },
                   kKeyA, UpdateDataCheck::Refused, kNothing, "signature"},
        FolderCase{"SignedByUntrustedKey", kUntouched, kKeyB, UpdateDataCheck::Refused, kNothing,
                   "not a valid signature by a trusted key"},
        FolderCase{"KeyButNoChecksums",
                   [](SignedFolder& f) { fs::remove(f.File(kChecksumFileName)); }, kKeyA,
                   UpdateDataCheck::Refused, kNothing, "no SHA256SUMS"},
        FolderCase{"UnreadableKeyRefusesRatherThanFallingBack", kUntouched, kUnreadableKey,
                   UpdateDataCheck::Refused, kNothing, "not a valid signature"},
        FolderCase{"NoKeyNoChecksumsAsBefore",
                   [](SignedFolder& f) {
                       fs::remove(f.File(kChecksumFileName));
                       fs::remove(f.File(kChecksumSignatureFileName));
                   },
                   kNoKey, UpdateDataCheck::None, kAll, ""},
        FolderCase{"NoKeyChecksumsMatch", kUntouched, kNoKey, UpdateDataCheck::Checksums, kAll, ""},
        FolderCase{"NoKeyChecksumsCatchACorruptFile",
                   [](SignedFolder& f) { ChangeOneByte(f.File(f.Name("Quorvan"))); }, kNoKey,
                   UpdateDataCheck::Checksums, kTarnovelle | kVariants, "SHA-256 differs"},
        FolderCase{"NoKeyGarbledChecksums",
                   [](SignedFolder& f) {
                       test::WriteFileText(f.File(kChecksumFileName).string(), "not a list\n");
                   },
                   kNoKey, UpdateDataCheck::Refused, kNothing, "line 1 of SHA256SUMS"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct ListCase {
    const char* Name;
    std::string Text;
    bool Valid;
};

class ChecksumListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ChecksumListTest, ReadsOnlyWhatSha256sumWrites) {
    std::map<std::string, std::string> digests;
    EXPECT_EQ(ParseChecksumList(GetParam().Text, digests).empty(), GetParam().Valid);
    EXPECT_EQ(digests.empty(), !GetParam().Valid);
}

const std::string kDigest(64, 'a');

INSTANTIATE_TEST_SUITE_P(
    Lists, ChecksumListTest,
    ::testing::Values(ListCase{"TextMode", kDigest + "  files.txt\n", true},
                      ListCase{"BinaryModeAndCrLf", kDigest + " *a b.hex\r\n\n", true},
                      ListCase{"ShortDigest", std::string(63, 'a') + "  x\n", false},
                      ListCase{"NoName", kDigest + "  \n", false},
                      ListCase{"EscapedName", "\\" + kDigest + "  a\\nb\n", false},
                      ListCase{"ListedTwice", kDigest + "  x\n" + kDigest + "  x\n", false},
                      ListCase{"Empty", "", false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace veltrin
