#include "download/updatedownload.h"
#include "crypto/sha256.h"
#include "download/urltext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "sampledata.h"
#include "support/httpstestserver.h"
#include "support/silentlistener.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

namespace veltrin {
namespace {

// Tiny generated firmware of a family with the given options (version 01.02.03 by default).
std::string MakeFirmwareHex(FirmwareFamily family, sample::FirmwareOptions options = {}) {
    const sample::SampleSizes tiny = sample::SizesFor(sample::SizeClass::Tiny, family);
    if (options.Sizes.Bootloader == 0) {
        options.Sizes = tiny;
    }
    return sample::GenerateFirmwareHex(family, options);
}

std::vector<std::uint8_t> MakeVariantFile(const std::vector<std::uint16_t>& ids) {
    return sample::GenerateVariantFile(ids, 1);
}

constexpr char kPrefix[] = "/pipette-update";
constexpr char kQuorvanName[] = "Quorvan_OTG_01.02.03.hex";
constexpr char kTarnovelleName[] = "Tarnovelle_K7_02.00.00.hex";
constexpr char kVariantsName[] = "quorvan_variants_7.par";

std::string FullIndex() {
    return std::string("# newest files\n") + kQuorvanName + "\n" + kTarnovelleName + "\n" +
           kVariantsName + "\n";
}

class UpdateDownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDirectory;
        certs_ = new test::TestCertificateFiles;
        ASSERT_TRUE(test::MakeTestCertificates(dir_->Path().string(), *certs_));
        server_ = new test::HttpsTestServer(*certs_);
        ASSERT_TRUE(server_->IsRunning());
        quorvanHex_ = new std::string(MakeFirmwareHex(FirmwareFamily::QuorvanOtg));
        sample::FirmwareOptions tarnovelle;
        tarnovelle.Version = "02.00.00";
        tarnovelleHex_ = new std::string(MakeFirmwareHex(FirmwareFamily::TarnovelleK7, tarnovelle));
    }

    static void TearDownTestSuite() {
        delete server_;
        delete certs_;
        delete dir_;
        delete quorvanHex_;
        delete tarnovelleHex_;
    }

    void SetUp() override {
        for (const auto& path : published_) {
            server_->Remove(path);
        }
        published_.clear();
        server_->ClearRequests();
    }

    static HttpsClientOptions TrustingOptions() {
        HttpsClientOptions options;
        options.CaFile = certs_->CaCertFile;
        return options;
    }

    std::string Base() const { return server_->Origin() + kPrefix; }

    void PublishIndex(const std::string& text, test::TestResponse response = {}) {
        response.Body = text;
        Publish(std::string(kPrefix) + "/files.txt", std::move(response));
    }

    // Files named by the index are fetched with two slashes after the base.
    void PublishFile(const std::string& name, const std::string& content) {
        test::TestResponse response;
        response.Body = content;
        Publish(std::string(kPrefix) + "//" + name, std::move(response));
    }

    void PublishAll() {
        PublishIndex(FullIndex());
        PublishFile(kQuorvanName, *quorvanHex_);
        PublishFile(kTarnovelleName, *tarnovelleHex_);
        const auto par = MakeVariantFile({0x0110, 0x0220});
        PublishFile(kVariantsName, std::string(par.begin(), par.end()));
    }

    void Publish(const std::string& path, test::TestResponse response) {
        server_->Serve(path, std::move(response));
        published_.push_back(path);
    }

    std::vector<std::string> RequestedPaths() const {
        std::vector<std::string> paths;
        for (const auto& request : server_->Requests()) {
            paths.push_back(request.Path);
        }
        return paths;
    }

    static test::TempDirectory* dir_;
    static test::TestCertificateFiles* certs_;
    static test::HttpsTestServer* server_;
    static std::string* quorvanHex_;
    static std::string* tarnovelleHex_;
    std::vector<std::string> published_;
};

test::TempDirectory* UpdateDownloadTest::dir_ = nullptr;
test::TestCertificateFiles* UpdateDownloadTest::certs_ = nullptr;
test::HttpsTestServer* UpdateDownloadTest::server_ = nullptr;
std::string* UpdateDownloadTest::quorvanHex_ = nullptr;
std::string* UpdateDownloadTest::tarnovelleHex_ = nullptr;

TEST_F(UpdateDownloadTest, FullDownloadOfGeneratedDataGivesBothVersionsAndTheVariantTable) {
    sample::FirmwareOptions quorvan;
    quorvan.Sizes = sample::SizesFor(sample::SizeClass::Tiny, FirmwareFamily::QuorvanOtg);
    quorvan.Version = "03.10.07";
    sample::FirmwareOptions tarnovelle;
    tarnovelle.Sizes = sample::SizesFor(sample::SizeClass::Tiny, FirmwareFamily::TarnovelleK7);
    tarnovelle.Version = "02.00.00";
    const std::string quorvanHex = sample::GenerateFirmwareHex(FirmwareFamily::QuorvanOtg, quorvan);
    const std::string tarnovelleHex =
        sample::GenerateFirmwareHex(FirmwareFamily::TarnovelleK7, tarnovelle);
    const auto par = sample::GenerateVariantFile(sample::DefaultVariantIds(), 3);
    PublishIndex(FullIndex());
    PublishFile(kQuorvanName, quorvanHex);
    PublishFile(kTarnovelleName, tarnovelleHex);
    PublishFile(kVariantsName, std::string(par.begin(), par.end()));

    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    std::vector<std::pair<FirmwareFamily, std::string>> labels;
    UpdateDownloadReport report;

    DownloadUpdateData(
        client, Base(), data, variants,
        [&labels](FirmwareFamily family, const std::string& text) {
            labels.emplace_back(family, text);
        },
        &report);

    EXPECT_EQ(data.VersionQuorvanOtg, "Version 03.10.07");
    EXPECT_EQ(data.VersionTarnovelleK7, "Version 02.00.00");
    EXPECT_EQ(data.HexQuorvanOtg, quorvanHex);
    EXPECT_EQ(data.HexTarnovelleK7, tarnovelleHex);
    EXPECT_EQ(data.FileNameQuorvanOtg, kQuorvanName);
    EXPECT_EQ(data.FileNameTarnovelleK7, kTarnovelleName);
    EXPECT_EQ(data.FileNameVariants, kVariantsName);
    EXPECT_EQ(data.VariantFileBytes, par);
    EXPECT_EQ(variants.GetCount(), sample::DefaultVariantIds().size());
    TSClQuorvanVariants_ParamRecord record{};
    EXPECT_TRUE(variants.FindVariant(sample::kUnknownSampleVariant, record));

    const std::vector<std::pair<FirmwareFamily, std::string>> expectedLabels = {
        {FirmwareFamily::QuorvanOtg, "loading ..."},
        {FirmwareFamily::TarnovelleK7, "loading ..."},
        {FirmwareFamily::QuorvanOtg, "check Firmware ..."},
        {FirmwareFamily::TarnovelleK7, "check Firmware ..."}};
    EXPECT_EQ(labels, expectedLabels);

    // The index with one slash, then the checksum list (none here) and the named files with
    // two, in this order.
    const std::vector<std::string> expectedPaths = {
        "/pipette-update/files.txt", "/pipette-update//SHA256SUMS",
        std::string("/pipette-update//") + kQuorvanName,
        std::string("/pipette-update//") + kTarnovelleName,
        std::string("/pipette-update//") + kVariantsName};
    EXPECT_EQ(RequestedPaths(), expectedPaths);
    EXPECT_EQ(report.IndexResult, HTTPS_OK);
    EXPECT_EQ(report.Variants.Name, kVariantsName);
    EXPECT_EQ(report.VariantLoadResult, PAR_OK);
}

struct IndexCase {
    const char* Title;
    std::string Index;
    std::string QuorvanName;     // empty: not named
    std::string TarnovelleName;  // empty: not named
};

void PrintTo(const IndexCase& c, std::ostream* os) {
    *os << c.Title;
}

class UpdateDownloadIndexTest : public UpdateDownloadTest,
                                public ::testing::WithParamInterface<IndexCase> {};

TEST_P(UpdateDownloadIndexTest, NamesFollowTheKeyAndExtensionRule) {
    const IndexCase& c = GetParam();
    PublishIndex(c.Index);
    if (!c.QuorvanName.empty()) {
        PublishFile(c.QuorvanName, *quorvanHex_);
    }
    if (!c.TarnovelleName.empty()) {
        PublishFile(c.TarnovelleName, *tarnovelleHex_);
    }
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    DownloadUpdateData(client, Base(), data, variants);

    EXPECT_EQ(data.VersionQuorvanOtg, c.QuorvanName.empty() ? "" : "Version 01.02.03");
    EXPECT_EQ(data.VersionTarnovelleK7, c.TarnovelleName.empty() ? "" : "Version 02.00.00");
    std::vector<std::string> expectedPaths = {"/pipette-update/files.txt",
                                              "/pipette-update//SHA256SUMS"};
    for (const auto& name : {c.QuorvanName, c.TarnovelleName}) {
        if (!name.empty()) {
            expectedPaths.push_back("/pipette-update//" + name);
        }
    }
    EXPECT_EQ(RequestedPaths(), expectedPaths);
    for (const auto& request : server_->Requests()) {
        EXPECT_EQ(request.Header("X-Injected"), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, UpdateDownloadIndexTest,
    ::testing::Values(
        IndexCase{"NameFollowedByLineBreaks", "Quorvan_OTG_1.hex\r\nTarnovelle_K7_1.hex\r\n",
                  "Quorvan_OTG_1.hex", "Tarnovelle_K7_1.hex"},
        IndexCase{"IndexEndsRightAfterTheExtension", "Tarnovelle_K7_1.hex Quorvan_OTG_1.hex",
                  "Quorvan_OTG_1.hex", "Tarnovelle_K7_1.hex"},
        IndexCase{"OnlyOneFamilyNamed", "Tarnovelle_K7_5.hex\n", "", "Tarnovelle_K7_5.hex"},
        // A name that runs over a line break is no plain file name and is not fetched.
        IndexCase{"ExtensionOnlyOnALaterLine", "Quorvan_OTG see below\nfile x.hex\n", "", ""},
        IndexCase{"FirstOccurrenceOfTheKeyCounts",
                  "Quorvan_OTG_old.txt\nQuorvan_OTG_new.hex\nTarnovelle_K7.hex", "",
                  "Tarnovelle_K7.hex"},
        IndexCase{"LineBreakCannotInjectAHeader", "Quorvan_OTG\r\nX-Injected: 1\r\n.hex", "", ""},
        IndexCase{"NamesThatLeaveTheFolderAreNotFetched",
                  "Quorvan_OTG/../x.hex Tarnovelle_K7?a=.hex", "", ""},
        IndexCase{"KeyWithoutItsExtension", "Quorvan_OTG_1.bin\nTarnovelle_K7_1.txt\n", "", ""},
        IndexCase{"KeysAreCaseSensitive", "quorvan_otg_1.hex\nTARNOVELLE_K7_1.hex\n", "", ""}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return info.param.Title; });

TEST_F(UpdateDownloadTest, NamesWithBlanksAndNonAsciiBytesArePercentEncodedOnTheWire) {
    // "%41" unencoded would reach the server as "A" and fetch another file.
    const std::string name = "Quorvan_OTG see below file \xE4 100%41.hex";
    PublishIndex(name);
    PublishFile(name, *quorvanHex_);
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    DownloadUpdateData(client, Base(), data, variants);

    EXPECT_EQ(data.VersionQuorvanOtg, "Version 01.02.03");
    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 3u);  // the index, the checksum list, the firmware
    EXPECT_EQ(requests[2].Target,
              "/pipette-update//Quorvan_OTG%20see%20below%20file%20%E4%20100%2541.hex");
}

TEST_F(UpdateDownloadTest, MissingFileLeavesOnlyThatFamilyEmpty) {
    PublishAll();
    server_->Remove(std::string(kPrefix) + "//" + kTarnovelleName);
    HttpsClient client(TrustingOptions());
    UpdateData data;
    data.HexTarnovelleK7 = "old text";
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    DownloadUpdateData(client, Base(), data, variants, {}, &report);

    EXPECT_EQ(data.VersionQuorvanOtg, "Version 01.02.03");
    EXPECT_EQ(data.HexTarnovelleK7, "");
    EXPECT_EQ(data.VersionTarnovelleK7, "");
    EXPECT_EQ(variants.GetCount(), 2u);
    EXPECT_EQ(report.TarnovelleK7.Result, HTTPS_ERR_STATUS);
}

// A table loaded and texts filled by an earlier download, all to be replaced.
void FillWithEarlierDownload(UpdateData& data, ClQuorvanVariants& variants) {
    data = {.HexQuorvanOtg = "old",
            .VersionQuorvanOtg = "Version 00.00.01",
            .HexTarnovelleK7 = "old",
            .VersionTarnovelleK7 = "Version 00.00.01",
            .FileNameQuorvanOtg = "old.hex",
            .FileNameTarnovelleK7 = "old.hex",
            .FileNameVariants = "old.par",
            .VariantFileBytes = {1}};
    const auto par = MakeVariantFile({1});
    MemoryByteSource source(par.data(), par.size());
    ASSERT_EQ(variants.Load(source), PAR_OK);
}

TEST_F(UpdateDownloadTest, IndexThatCannotBeFetchedLeavesEverythingEmpty) {
    PublishAll();
    server_->Remove(std::string(kPrefix) + "/files.txt");
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    FillWithEarlierDownload(data, variants);
    DownloadUpdateData(client, Base(), data, variants);

    EXPECT_EQ(data.HexQuorvanOtg, "");
    EXPECT_EQ(data.VersionQuorvanOtg, "");
    EXPECT_EQ(data.HexTarnovelleK7, "");
    EXPECT_EQ(data.VersionTarnovelleK7, "");
    // Nothing of the earlier files may end up in a history record of the next run.
    EXPECT_EQ(data.FileNameQuorvanOtg, "");
    EXPECT_EQ(data.FileNameTarnovelleK7, "");
    EXPECT_EQ(data.FileNameVariants, "");
    EXPECT_TRUE(data.VariantFileBytes.empty());
    EXPECT_EQ(variants.GetCount(), 0u);
    EXPECT_EQ(RequestedPaths().size(), 1u);
}

TEST_F(UpdateDownloadTest, ServerOfAnUnknownCaYieldsNothing) {
    PublishAll();
    HttpsClient client;  // the system's trust store only
    UpdateData data;
    ClQuorvanVariants variants;
    FillWithEarlierDownload(data, variants);
    UpdateDownloadReport report;
    DownloadUpdateData(client, Base(), data, variants, {}, &report);

    EXPECT_EQ(report.IndexResult, HTTPS_ERR_TLS);
    EXPECT_EQ(data.HexQuorvanOtg, "");
    EXPECT_EQ(data.VersionTarnovelleK7, "");
    EXPECT_EQ(variants.GetCount(), 0u);
    EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(UpdateDownloadTest, ServerThatNeverAnswersEndsByTheTimeOut) {
    test::SilentListener silent;
    HttpsClientOptions options = TrustingOptions();
    options.ConnectTimeoutSeconds = 1;
    HttpsClient client(options);
    UpdateData data;
    ClQuorvanVariants variants;
    UpdateDownloadReport report;
    DownloadUpdateData(client, silent.Origin() + kPrefix, data, variants, {}, &report);

    EXPECT_EQ(report.IndexResult, HTTPS_ERR_TIMEOUT);
    EXPECT_EQ(data.HexQuorvanOtg, "");
    EXPECT_EQ(data.VersionQuorvanOtg, "");
}

struct CheckCase {
    const char* Title;
    sample::FirmwareOptions Firmware;
    std::string Version;  // expected version text, empty: fails the check
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.Title;
}

class UpdateDownloadCheckTest : public UpdateDownloadTest,
                                public ::testing::WithParamInterface<CheckCase> {};

TEST_P(UpdateDownloadCheckTest, OnlyAFirmwareThatPassesGetsAVersion) {
    const CheckCase& c = GetParam();
    const std::string hex = MakeFirmwareHex(FirmwareFamily::QuorvanOtg, c.Firmware);
    PublishIndex(kQuorvanName);
    PublishFile(kQuorvanName, hex);
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    DownloadUpdateData(client, Base(), data, variants);

    EXPECT_EQ(data.HexQuorvanOtg, hex);  // the text stays also when the check fails
    EXPECT_EQ(data.VersionQuorvanOtg, c.Version);
}

sample::FirmwareOptions WithIdentifier(const char* identifier) {
    sample::FirmwareOptions firmware;
    firmware.Identifier = identifier;
    return firmware;
}

sample::FirmwareOptions WithDataVersion(const char* version) {
    sample::FirmwareOptions firmware;
    firmware.DataVersion = version;
    return firmware;
}

sample::FirmwareOptions WithLargeBootloader() {
    sample::FirmwareOptions firmware;
    firmware.Sizes = sample::SizesFor(sample::SizeClass::Tiny, FirmwareFamily::QuorvanOtg);
    firmware.Sizes.Bootloader = kLargeBootloaderThreshold + 0x100;
    return firmware;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, UpdateDownloadCheckTest,
    ::testing::Values(CheckCase{"Passes", {}, "Version 01.02.03"},
                      CheckCase{"LargeBootloader", WithLargeBootloader(), "Version 01.02.03"},
                      CheckCase{"OtherFamilysIdentifier", WithIdentifier("Corvent-USB"), ""},
                      CheckCase{"LongerIdentifier", WithIdentifier("Quorvan-USB-OTG-2"), ""},
                      CheckCase{"VersionBlocksDiffer", WithDataVersion("01.02.04"), ""}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.Title; });

TEST_F(UpdateDownloadTest, BadVariantFileLeavesTheTableEmpty) {
    PublishAll();
    auto par = MakeVariantFile({0x0110});
    par[100] ^= 0x01;  // breaks the CRC
    PublishFile(kVariantsName, std::string(par.begin(), par.end()));
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    FillWithEarlierDownload(data, variants);
    UpdateDownloadReport report;
    DownloadUpdateData(client, Base(), data, variants, {}, &report);

    EXPECT_EQ(variants.GetCount(), 0u);
    EXPECT_EQ(report.VariantLoadResult, PAR_ERR_CRC);
    EXPECT_EQ(data.VersionQuorvanOtg, "Version 01.02.03");
}

struct RefusedListCase {
    const char* Title;
    std::string (*Checksums)(const std::string& index);
};

void PrintTo(const RefusedListCase& c, std::ostream* os) {
    *os << c.Title;
}

class UpdateDownloadRefusedListTest : public UpdateDownloadTest,
                                      public ::testing::WithParamInterface<RefusedListCase> {};

// What an unverified index names is never asked for: a forged index could name any file of
// the server, each up to the size cap.
TEST_P(UpdateDownloadRefusedListTest, NothingTheIndexNamesIsFetched) {
    PublishAll();
    PublishFile("SHA256SUMS", GetParam().Checksums(FullIndex()));
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    FillWithEarlierDownload(data, variants);
    UpdateDownloadReport report;
    DownloadUpdateData(client, Base(), data, variants, {}, &report);

    const std::vector<std::string> expectedPaths = {"/pipette-update/files.txt",
                                                    "/pipette-update//SHA256SUMS",
                                                    "/pipette-update//SHA256SUMS.sig"};
    EXPECT_EQ(RequestedPaths(), expectedPaths);
    EXPECT_EQ(data.Check, UpdateDataCheck::Refused);
    EXPECT_TRUE(data.HexQuorvanOtg.empty() && data.HexTarnovelleK7.empty());
    EXPECT_TRUE(data.VersionQuorvanOtg.empty() && data.VersionTarnovelleK7.empty());
    EXPECT_EQ(variants.GetCount(), 0u);
    EXPECT_EQ(report.QuorvanOtg.Refusal, report.Verification.Problem);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UpdateDownloadRefusedListTest,
    ::testing::Values(RefusedListCase{"Garbled", [](const std::string&) {
                                          return std::string("not a checksum list\n");
                                      }},
                      RefusedListCase{"IndexDiffers",
                                      [](const std::string& index) {
                                          return Sha256Hex(index.data(), index.size() - 1) +
                                                 "  files.txt\n";
                                      }},
                      RefusedListCase{"IndexNotListed",
                                      [](const std::string&) {
                                          return std::string(64, 'a') + "  other.txt\n";
                                      }}),
    [](const ::testing::TestParamInfo<RefusedListCase>& info) { return info.param.Title; });

TEST_F(UpdateDownloadTest, CookieOfTheIndexGoesWithTheFileRequests) {
    PublishAll();
    test::TestResponse index;
    index.Headers = {{"Set-Cookie", "dl=token42; Path=/"}};
    PublishIndex(FullIndex(), index);
    HttpsClient client(TrustingOptions());
    UpdateData data;
    ClQuorvanVariants variants;
    DownloadUpdateData(client, Base(), data, variants);

    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 5u);  // the index, the checksum list, three files
    EXPECT_EQ(requests[0].Header("Cookie"), "");
    for (std::size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].Header("Cookie"), "dl=token42") << requests[i].Path;
    }
}

TEST_F(UpdateDownloadTest, UpdateFolderOnDiskServesAsAnOfflineServer) {
    const std::filesystem::path folder = dir_->Path() / "offline" / "pipette-update";
    std::filesystem::create_directories(folder);
    const auto par = MakeVariantFile({0x0110});
    ASSERT_TRUE(test::WriteFileText((folder / "files.txt").string(), FullIndex()));
    ASSERT_TRUE(test::WriteFileText((folder / kQuorvanName).string(), *quorvanHex_));
    ASSERT_TRUE(test::WriteFileText((folder / kTarnovelleName).string(), *tarnovelleHex_));
    ASSERT_TRUE(test::WriteFileText((folder / kVariantsName).string(),
                                    std::string(par.begin(), par.end())));

    HttpsClient client;
    UpdateData data;
    ClQuorvanVariants variants;
    DownloadUpdateData(client, "file://" + folder.string(), data, variants);

    EXPECT_EQ(data.VersionQuorvanOtg, "Version 01.02.03");
    EXPECT_EQ(data.VersionTarnovelleK7, "Version 02.00.00");
    EXPECT_EQ(variants.GetCount(), 1u);
}

TEST(UpdateDownloadUrlTest, UrlsAreComposedTrimmedAndEncoded) {
    EXPECT_EQ(MakeIndexUrl(" https://h/pipette-update\t"), "https://h/pipette-update/files.txt");
    EXPECT_EQ(MakeUpdateFileUrl("https://h/pipette-update", " Quorvan_OTG 1.hex\r\n"),
              "https://h/pipette-update//Quorvan_OTG%201.hex");
    EXPECT_EQ(MakeUpdateFileUrl("https://h/pipette-update", "Quorvan_OTG_50%.hex"),
              "https://h/pipette-update//Quorvan_OTG_50%25.hex");
    // Messages show one slash where the request has two.
    for (const auto& [url, shown] : std::vector<std::pair<std::string, std::string>>{
             {"https://h/pipette-update//SHA256SUMS.sig", "https://h/pipette-update/SHA256SUMS.sig"},
             {"file:///srv//pipette-update//a.hex", "file:///srv/pipette-update/a.hex"},
             {"https://h:8443//a//b?x=//y", "https://h:8443/a/b?x=//y"},
             {"https://h", "https://h"}}) {
        EXPECT_EQ(UrlForMessage(url), shown);
    }
    const std::string base = DefaultUpdateServerBase();
    EXPECT_TRUE(base.size() > 15 && base.substr(base.size() - 15) == "/pipette-update") << base;
}

}  // namespace
}  // namespace veltrin
