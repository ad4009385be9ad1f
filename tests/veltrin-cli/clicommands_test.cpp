#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "commands/clirun.h"
#include "crypto/sha256.h"
#include "download/checksumlist.h"
#include "jsondoc.h"
#include "sampledata.h"
#include "support/httpstestserver.h"
#include "support/signedfolder.h"
#include "support/tempdirectory.h"
#include "support/testcertificates.h"

namespace veltrin {
namespace {

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

CliResult RunCliWith(const std::vector<std::string>& args, const std::string& input = "") {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    CliIo io{out, err, in, false, false};
    CliResult result;
    result.Status = RunCli(args, io);
    result.Out = out.str();
    result.Err = err.str();
    return result;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.Path() / "pipette-update";
        std::filesystem::create_directories(folder_);
    }

    std::string WriteFile(const std::string& name, const std::string& content) {
        const std::string path = (dir_.Path() / name).string();
        EXPECT_TRUE(test::WriteFileText(path, content));
        return path;
    }

    static std::string Firmware(FirmwareFamily family, unsigned omit = 0) {
        sample::FirmwareOptions options;
        options.Sizes = sample::SizesFor(sample::SizeClass::Tiny, family);
        options.Version = "04.05.06";
        options.Omit = omit;
        return sample::GenerateFirmwareHex(family, options);
    }

    void WriteSampleSet() {
        sample::SampleSetOptions options;
        options.Firmware.Version = "04.05.06";
        ASSERT_EQ(sample::WriteSampleSet(folder_.string(), options), "");
    }

    test::TempDirectory dir_;
    std::filesystem::path folder_;
};

TEST_F(CliCommandsTest, CheckReportsAPassingFirmwareOfEitherFamily) {
    const auto quorvan =
        RunCliWith({"check", WriteFile("a.hex", Firmware(FirmwareFamily::QuorvanOtg))});
    EXPECT_EQ(quorvan.Status, 0) << quorvan.Out << quorvan.Err;
    EXPECT_TRUE(Contains(quorvan.Out, "Family: Quorvan/plus\n")) << quorvan.Out;
    EXPECT_TRUE(Contains(quorvan.Out, "Identifier: Quorvan-USB-OTG\n"));
    EXPECT_TRUE(Contains(quorvan.Out, "Sounds"));
    EXPECT_TRUE(Contains(quorvan.Out, "Result: passes, Version 04.05.06\n"));

    // The identifier decides the family, whatever the file is called.
    const auto tarnovelle =
        RunCliWith({"check", WriteFile("Quorvan_OTG.hex", Firmware(FirmwareFamily::TarnovelleK7))});
    EXPECT_EQ(tarnovelle.Status, 0) << tarnovelle.Out;
    EXPECT_TRUE(Contains(tarnovelle.Out, "Family: Tarnovelle K7/K7x\n")) << tarnovelle.Out;
    EXPECT_TRUE(Contains(tarnovelle.Out, "Identifier: Corvent-USB\n"));
    EXPECT_FALSE(Contains(tarnovelle.Out, "Sounds"));
}

TEST_F(CliCommandsTest, CheckNamesWhyAFirmwareFails) {
    const auto noBody = RunCliWith(
        {"check", WriteFile("b.hex", Firmware(FirmwareFamily::QuorvanOtg, sample::PART_APP_BODY))});
    EXPECT_EQ(noBody.Status, kExitFailure);
    EXPECT_TRUE(Contains(noBody.Out, "Result: fails the check: no data in the application"))
        << noBody.Out;

    const auto notHex = RunCliWith({"check", WriteFile("c.hex", "this is no firmware\n")});
    EXPECT_EQ(notHex.Status, kExitFailure);
    EXPECT_TRUE(Contains(notHex.Out, "Result: fails the check: not valid Intel HEX")) << notHex.Out;
    EXPECT_TRUE(Contains(notHex.Out, "line 1: starts with 't' instead of ':'")) << notHex.Out;

    // One checksum spoilt on the fifth line of a real image: the line and both values are named.
    std::string spoilt = Firmware(FirmwareFamily::QuorvanOtg);
    std::size_t lineStart = 0;
    for (int line = 1; line < 5; ++line)
        lineStart = spoilt.find('\n', lineStart) + 1;
    std::size_t digits = spoilt.find_first_of("\r\n", lineStart) - 2;
    const unsigned right = std::stoul(spoilt.substr(digits, 2), nullptr, 16);
    char wrong[3];
    std::snprintf(wrong, sizeof(wrong), "%02X", (right + 1) & 0xFF);
    spoilt.replace(digits, 2, wrong);
    const auto badSum = RunCliWith({"check", WriteFile("d.hex", spoilt)});
    EXPECT_EQ(badSum.Status, kExitFailure);
    char expected[64];
    std::snprintf(expected, sizeof(expected), "line 5: checksum 0x%s, expected 0x%02X", wrong,
                  right);
    EXPECT_TRUE(Contains(badSum.Out, std::string("Scan: 6 Invalid checksum!\n  ") + expected))
        << badSum.Out;
    EXPECT_TRUE(Contains(badSum.Out, std::string("Invalid checksum!): ") + expected))
        << badSum.Out;

    const auto missing = RunCliWith({"check", (dir_.Path() / "none.hex").string()});
    EXPECT_EQ(missing.Status, kExitFailure);
    EXPECT_NE(missing.Err, "");
}

TEST_F(CliCommandsTest, CheckOfAVariantFileListsItsIdsOrItsFault) {
    auto par = sample::GenerateVariantFile({0x0130, 0xB550}, 1);
    const auto good =
        RunCliWith({"check", WriteFile("v.par", std::string(par.begin(), par.end()))});
    EXPECT_EQ(good.Status, 0) << good.Out;
    EXPECT_TRUE(Contains(good.Out, "Result: 0 No error !\n")) << good.Out;
    EXPECT_TRUE(Contains(good.Out, "Variants: 2\n  0x0130"));
    EXPECT_TRUE(Contains(good.Out, "  0xB550"));

    par[200] ^= 0x55;
    // Recognised by its magic also without the extension.
    const auto bad = RunCliWith({"check", WriteFile("v.bin", std::string(par.begin(), par.end()))});
    EXPECT_EQ(bad.Status, kExitFailure);
    EXPECT_TRUE(Contains(bad.Out, "Result: 9 Invalid CRC-Checksum !\n")) << bad.Out;
}

TEST_F(CliCommandsTest, CheckAsJsonIsOneObjectWithTheSameFacts) {
    const auto firmware = RunCliWith(
        {"check", "--json", WriteFile("f.hex", Firmware(FirmwareFamily::QuorvanOtg, sample::PART_APP_BODY))});
    EXPECT_EQ(firmware.Status, kExitFailure);
    const auto hex = nlohmann::json::parse(firmware.Out, nullptr, false);
    ASSERT_TRUE(hex.is_object()) << firmware.Out;
    EXPECT_EQ(hex["kind"], "firmware");
    EXPECT_EQ(hex["identifier"], "Quorvan-USB-OTG");
    EXPECT_EQ(hex["passes"], false);
    EXPECT_EQ(hex["failure"], "no data in the application body");
    EXPECT_TRUE(hex["module_sizes"].contains("Sounds"));
    const auto documented = test::DocumentedJsonFields();
    EXPECT_EQ(test::FieldsOf(hex), documented.at("`check --json` / A firmware file")) << hex;

    const auto par = sample::GenerateVariantFile({0x0130, 0xB550}, 1);
    const auto variants = RunCliWith(
        {"check", WriteFile("v.par", std::string(par.begin(), par.end())), "--json"});
    EXPECT_EQ(variants.Status, 0);
    const auto table = nlohmann::json::parse(variants.Out, nullptr, false);
    ASSERT_TRUE(table.is_object()) << variants.Out;
    EXPECT_EQ(table["passes"], true);
    ASSERT_EQ(table["variants"].size(), 2u);
    EXPECT_EQ(table["variants"][1]["variant_id"], 0xB550);
    EXPECT_EQ(test::FieldsOf(table), documented.at("`check --json` / A variant parameter file"));
    EXPECT_EQ(test::FieldsOf(table["variants"][0]),
              documented.at("`check --json` / A variant of the list"));

    const auto missing = RunCliWith({"check", "--json", (dir_.Path() / "none.hex").string()});
    const auto unread = nlohmann::json::parse(missing.Out, nullptr, false);
    EXPECT_EQ(unread["passes"], false);
    EXPECT_EQ(test::FieldsOf(unread), documented.at("`check --json` / A file that cannot be read"));
}

TEST_F(CliCommandsTest, DownloadFromAnHttpsServerFillsTheFolder) {
    WriteSampleSet();
    test::TestCertificateFiles certs;
    ASSERT_TRUE(test::MakeTestCertificates(dir_.Path().string(), certs));
    test::HttpsTestServer server(certs);
    ASSERT_TRUE(server.ServeDirectory("/pipette-update", folder_.string()));
    const auto target = dir_.Path() / "fetched";

    const auto result = RunCliWith({"download", "--server", server.Origin() + "/pipette-update/",
                                    "--ca-file", certs.CaCertFile, target.string()});
    EXPECT_EQ(result.Status, 0) << result.Out << result.Err;
    EXPECT_TRUE(Contains(result.Out, "Quorvan/plus: loading ...\n")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Tarnovelle K7/K7x: check Firmware ...\n"));
    EXPECT_TRUE(Contains(result.Out, "  Quorvan/plus: Version 04.05.06\n"));
    EXPECT_TRUE(Contains(result.Out, "  Tarnovelle K7/K7x: Version 04.05.06\n"));
    for (const auto& name : {std::string("files.txt"), std::string("quorvan_variants.par"),
                             sample::FirmwareFileName(FirmwareFamily::QuorvanOtg, "04.05.06"),
                             sample::FirmwareFileName(FirmwareFamily::TarnovelleK7, "04.05.06")}) {
        EXPECT_EQ(std::filesystem::file_size(target / name),
                  std::filesystem::file_size(folder_ / name))
            << name;
    }
}

TEST_F(CliCommandsTest, DownloadKeepsNamesThatLeaveTheFolderOut) {
    // The second name would set the terminal's title if it were printed as it is.
    ASSERT_TRUE(
        test::WriteFileText((folder_ / "files.txt").string(),
                            "Quorvan_OTG/../../escaped.hex\nTarnovelle_K7\x1b]0;owned\x07.hex\n"));
    std::filesystem::create_directories(folder_ / "Quorvan_OTG");
    // Where the path lands with and without dot-segment removal.
    for (const auto& place : {dir_.Path() / "escaped.hex", folder_ / "escaped.hex"}) {
        ASSERT_TRUE(test::WriteFileText(place.string(), Firmware(FirmwareFamily::QuorvanOtg)));
    }
    const auto target = dir_.Path() / "out" / "inner";

    const auto result =
        RunCliWith({"download", "--server", "file://" + folder_.string(), target.string()});
    EXPECT_TRUE(Contains(result.Out, "The index names no plain file name")) << result.Out;
    EXPECT_TRUE(Contains(result.Out, "Tarnovelle_K7\\x1b]0;owned\\x07.hex")) << result.Out;
    EXPECT_FALSE(Contains(result.Out, "\x1b")) << result.Out;
    EXPECT_TRUE(std::filesystem::exists(target / "files.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "out" / "escaped.hex"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target),
                            std::filesystem::directory_iterator()),
              1);
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct SignedDownloadCase {
    const char* Name;
    bool TrustMaker;      // --trust-key with the maker's key, else with a stranger's
    int Status;
    const char* Says;
    std::vector<std::string> Saved;  // the folder written, sorted
    const char* Changed = nullptr;   // a byte of this file is changed after signing
};

class CliSignedDownloadTest : public CliCommandsTest,
                              public ::testing::WithParamInterface<SignedDownloadCase> {};

TEST_P(CliSignedDownloadTest, KeepsOnlyVerifiedFilesAndTheirSignature) {
    const SignedDownloadCase& c = GetParam();
    WriteSampleSet();
    const test::SigningKeyPair maker = test::MakeSigningKeyPair();
    const test::SigningKeyPair stranger = test::MakeSigningKeyPair();
    ASSERT_EQ(test::SignUpdateFolder(folder_.string(), test::SampleFolderNames(folder_.string()),
                                     maker),
              "");
    const std::string key = WriteFile("key.pem", (c.TrustMaker ? maker : stranger).PublicPem);
    const auto target = dir_.Path() / "fetched";
    if (c.Changed != nullptr) {
        ASSERT_TRUE(test::ChangeOneByte((folder_ / c.Changed).string()));
    }
    // A link planted where the list goes is replaced, never written through.
    std::filesystem::create_directories(target);
    const std::string victim = WriteFile("victim.txt", "keep me\n");
    std::filesystem::create_symlink(victim, target / "SHA256SUMS");

    const auto result = RunCliWith({"download", "--server", "file://" + folder_.string(),
                                    "--trust-key", key, target.string()});
    EXPECT_EQ(result.Status, c.Status) << result.Out << result.Err;
    EXPECT_TRUE(Contains(result.Out, c.Says)) << result.Out;
    EXPECT_EQ(Contains(result.Out, ": verified"), c.Status == 0) << result.Out;
    EXPECT_EQ(ReadText(victim), "keep me\n");
    std::vector<std::string> saved;
    for (const auto& entry : std::filesystem::directory_iterator(target))
        if (c.Status == 0 || !std::filesystem::is_symlink(entry.symlink_status()))
            saved.push_back(entry.path().filename().string());
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(saved, c.Saved);
    for (const std::string& name : saved) {
        EXPECT_FALSE(std::filesystem::is_symlink(target / name)) << name;
        EXPECT_EQ(std::filesystem::file_size(target / name),
                  std::filesystem::file_size(folder_ / name))
            << name;
    }
    // What is written passes its own list, as `sha256sum -c` checks it.
    if (!saved.empty()) {
        std::map<std::string, std::string> digests;
        ASSERT_EQ(ParseChecksumList(ReadText((target / "SHA256SUMS").string()), digests),
                  "");
        for (const auto& [name, digest] : digests) {
            const std::string text = ReadText((target / name).string());
            EXPECT_EQ(Sha256Hex(text.data(), text.size()), digest) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, CliSignedDownloadTest,
    ::testing::Values(
        SignedDownloadCase{"SignedByTheTrustedKey", true, 0,
                           "Update data: verified, signed by the trusted key ",
                           {"Quorvan_OTG_V04.05.06.hex", "SHA256SUMS", "SHA256SUMS.sig",
                            "Tarnovelle_K7_V04.05.06.hex", "files.txt", "quorvan_variants.par"}},
        SignedDownloadCase{"SignedBySomebodyElse", false, 1,
                           "Update data: refused: SHA256SUMS.sig is not a valid signature by a "
                           "trusted key\n",
                           {}},
        SignedDownloadCase{"ChangedByteInFirmware", true, 1,
                           "nothing saved, a file does not match SHA256SUMS\n",
                           {},
                           "Quorvan_OTG_V04.05.06.hex"},
        SignedDownloadCase{"ChangedByteInVariantFile", true, 1,
                           "Update data: not verified, a file does not match SHA256SUMS\n",
                           {},
                           "quorvan_variants.par"},
        SignedDownloadCase{"ChangedByteInIndex", true, 1,
                           "Update data: refused: files.txt: its SHA-256 differs", {},
                           "files.txt"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CliCommandsTest, UpdateWithoutUpdateDataStopsBeforeAnyDevice) {
    const std::string server = "file://" + (dir_.Path() / "empty").string();
    const std::string trace = (dir_.Path() / "Protokoll.txt").string();
    const auto result = RunCliWith({"update", "--yes", "--server", server, "--trace", trace});
    EXPECT_EQ(result.Status, kExitNoUpdateData);
    EXPECT_TRUE(
        Contains(result.Out, "No data found for update.\nPlease check your internet connection.\n"
                             "Cause: the index files.txt could not be fetched: "))
        << result.Out;
    EXPECT_TRUE(Contains(ReadText(trace),
                         "No data found for update: the index files.txt could not be fetched"));

    // Under --json the last line is the documented end, for one device as for several.
    const auto documented = test::DocumentedJsonFields().at("`update --json` / Event `end`");
    for (const std::vector<std::string>& ports :
         {std::vector<std::string>{"ttyNONE"}, std::vector<std::string>{"ttyNONE", "ttyNIX"}}) {
        std::vector<std::string> args = {"update", "--yes", "--json", "--server", server};
        for (const auto& port : ports)
            args.insert(args.end(), {"--port", port});
        const auto json = RunCliWith(args);
        EXPECT_EQ(json.Status, kExitNoUpdateData);
        const std::string last = json.Out.substr(json.Out.rfind('\n', json.Out.size() - 2) + 1);
        const auto end = nlohmann::json::parse(last, nullptr, false);
        ASSERT_TRUE(end.is_object()) << json.Out;
        EXPECT_EQ(end["event"], "end");
        EXPECT_EQ(end["exit_status"], kExitNoUpdateData);
        std::set<std::string> fields = documented;
        fields.insert({"event", "port"});
        EXPECT_EQ(test::FieldsOf(end), fields) << last;
    }
}

// A usage error is one line of what is wrong and where to look, never the whole usage.
TEST_F(CliCommandsTest, UsageErrorsGoToStandardErrorInOneLineAndAPointerToTheHelp) {
    const std::vector<std::vector<std::string>> mistakes = {
        {"flash", "now"}, {"history", "--outcome", "maybe"}, {"update", "--last", "3"}};
    for (const auto& args : mistakes) {
        const auto result = RunCliWith(args);
        EXPECT_EQ(result.Status, kExitUsage) << result.Err;
        EXPECT_EQ(result.Err.rfind("veltrin-cli: ", 0), 0u) << result.Err;
        EXPECT_EQ(std::count(result.Err.begin(), result.Err.end(), '\n'), 2) << result.Err;
        EXPECT_TRUE(Contains(result.Err, "\nsee 'veltrin-cli --help'\n")) << result.Err;
        EXPECT_EQ(result.Out, "");
    }
    EXPECT_TRUE(Contains(RunCliWith({"flash"}).Err, "unknown command: flash"));
    EXPECT_EQ(RunCliWith({"--help"}).Status, 0);
}

}  // namespace
}  // namespace veltrin
