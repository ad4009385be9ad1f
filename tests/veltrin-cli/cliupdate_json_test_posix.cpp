// update --json and the update history, end to end against the simulator: every documented
// event is emitted and parses with exactly its documented fields, and each run that reaches a
// device leaves its record.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "cliupdatefixture.h"
#include "history/historyreader.h"
#include "crypto/sha256.h"
#include "download/trustedkeys.h"
#include "history/historyreader.h"
#include "jsondoc.h"
#include "support/signedfolder.h"

namespace veltrin {
namespace {

using test::CliResult;
using Json = nlohmann::json;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The update events as docs/cli-json.md lists them: "### Event `name`" and the fields of the
// table below it, besides the two every event starts with.
std::map<std::string, std::set<std::string>> DocumentedEvents() {
    const std::string prefix = "`update --json` / Event `";
    std::map<std::string, std::set<std::string>> events;
    for (const auto& [section, fields] : test::DocumentedJsonFields()) {
        if (section.rfind(prefix, 0) != 0)
            continue;
        std::set<std::string>& event =
            events[section.substr(prefix.size(), section.size() - prefix.size() - 1)];
        event = fields;
        event.insert({"event", "port"});
    }
    return events;
}

// Parses every line of standard output; a line that is not a JSON object fails the test.
std::vector<Json> Events(const CliResult& result) {
    std::vector<Json> events;
    std::istringstream lines(result.StdOut);
    std::string line;
    while (std::getline(lines, line)) {
        const Json event = Json::parse(line, nullptr, false);
        EXPECT_TRUE(event.is_object()) << "not a JSON object: " << line;
        if (event.is_object())
            events.push_back(event);
    }
    return events;
}

class CliJsonTest : public test::CliUpdateTest {
protected:
    std::string history_ = dir_.File("state/veltrin/history.jsonl");
};

TEST_F(CliJsonTest, EveryDocumentedEventIsEmittedWithItsDocumentedFields) {
    const auto documented = DocumentedEvents();
    ASSERT_GE(documented.size(), 15u) << "the event list of docs/cli-json.md was not found";
    Publish();

    // A whole run of an electronic pipette brings every event but the cancel request.
    PipetteSimulator sim(DeviceOptions(10));
    ASSERT_EQ(sim.Start(), 0);
    const CliResult whole = RunUpdate(sim, true, "", {"--json"}, history_);
    EXPECT_EQ(whole.Status, 0) << whole.Out;
    // Ctrl+C before the worker's first event: the search still completes, then the run ends.
    PipetteSimulator other(DeviceOptions(6));
    ASSERT_EQ(other.Start(), 0);
    const std::atomic<bool> interrupted{true};
    const CliResult cancelled = RunUpdate(other, true, "", {"--json"}, history_, &interrupted);
    EXPECT_EQ(cancelled.Status, kExitCancelled) << cancelled.Out;
    // Two devices at once add their summaries; the download's events belong to no port.
    const CliResult several =
        RunUpdate(sim, true, "", {"--port", other.PortName(), "--json"}, history_);
    EXPECT_EQ(several.Status, 0) << several.Out;

    std::set<std::string> seen;
    for (const auto* result : {&whole, &cancelled, &several}) {
        const std::vector<Json> events = Events(*result);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back()["event"], result == &several ? "summary" : "end");
        for (const Json& event : events) {
            ASSERT_TRUE(event.contains("event")) << event;
            const std::string name = event["event"];
            seen.insert(name);
            const auto doc = documented.find(name);
            ASSERT_NE(doc, documented.end()) << "undocumented event " << name;
            std::set<std::string> fields;
            for (const auto& [key, value] : event.items())
                fields.insert(key);
            EXPECT_EQ(fields, doc->second) << event;
            // The port was named, so every event knows it.
            if (result != &several || name == "summary" || name == "end") {
                EXPECT_TRUE(event["port"].is_string()) << event;
            }
        }
    }
    for (const auto& [name, fields] : documented)
        EXPECT_TRUE(seen.count(name)) << "documented but never emitted: " << name;
}

TEST_F(CliJsonTest, TheEventsTellTheRunAsTheTextDoes) {
    Publish();
    PipetteSimulator sim(DeviceOptions(9));
    ASSERT_EQ(sim.Start(), 0);
    const CliResult result = RunUpdate(sim, false, "n\n", {"--json"});
    EXPECT_EQ(result.Status, kExitCancelled) << result.Out;

    std::vector<std::string> answers;
    int countdowns = 0;
    Json device;
    Json end;
    for (const Json& event : Events(result)) {
        if (event["event"] == "answer")
            answers.push_back(event["answer"].get<bool>() ? "yes" : "no");
        if (event["event"] == "countdown")
            ++countdowns;
        if (event["event"] == "device")
            device = event;
        if (event["event"] == "end")
            end = event;
    }
    // Only the user-data question is asked (the firmware is newer); "n" ends the run.
    EXPECT_EQ(answers, std::vector<std::string>{"no"});
    EXPECT_EQ(countdowns, 0);
    EXPECT_EQ(device["info_text"], "Pipette simulator");
    EXPECT_EQ(device["version_text_0"], "01.00.00 Application 20240101");
    EXPECT_EQ(end["terminated"], true);
    EXPECT_EQ(end["outcome"], "cancelled");
    EXPECT_EQ(end["exit_status"], kExitCancelled);
    EXPECT_EQ(end["status"], "The update was ended by the user");
    EXPECT_TRUE(sim.WrittenBlocks().empty());
}

TEST_F(CliJsonTest, ProbeAsJsonGivesOneObjectPerPort) {
    PipetteSimulator sim(DeviceOptions(11));
    ASSERT_EQ(sim.Start(), 0);
    std::ostringstream out, err;
    std::istringstream in;
    CliIo io{out, err, in, false, false};
    EXPECT_EQ(RunCli({"probe", "--json", sim.PortName(), "ttyNONE"}, io), 0);
    CliResult result;
    result.StdOut = out.str();
    const std::vector<Json> ports = Events(result);
    ASSERT_EQ(ports.size(), 2u) << result.StdOut;
    EXPECT_EQ(ports[0]["port"], sim.PortName());
    EXPECT_EQ(ports[0]["device_type"], 11);
    EXPECT_EQ(ports[0]["result_code"], 0);
    EXPECT_EQ(ports[1]["opened"], false);
    EXPECT_TRUE(ports[1]["device_type"].is_null());
    EXPECT_NE(ports[1]["result_text"], "");
    const auto documented = test::DocumentedJsonFields();
    for (const Json& port : ports)
        EXPECT_EQ(test::FieldsOf(port), documented.at("`probe --json`")) << port;

    // The system's own ports (none on a machine without serial hardware) likewise.
    std::ostringstream listed;
    CliIo listIo{listed, err, in, false, false};
    EXPECT_EQ(RunCli({"ports", "--json"}, listIo), 0);
    result.StdOut = listed.str();
    for (const Json& port : Events(result))
        EXPECT_EQ(test::FieldsOf(port), documented.at("`ports --json`")) << port;
}

TEST_F(CliJsonTest, EachRunThatReachesADeviceLeavesItsRecord) {
    Publish();
    {
        // The device keeps its texts in its own code page; the record holds them in UTF-8.
        SimOptions options = DeviceOptions(10);
        options.InfoText = "Größe 10µl";
        PipetteSimulator sim(options);
        ASSERT_EQ(sim.Start(), 0);
        EXPECT_EQ(RunUpdate(sim, true, "", {}, history_).Status, 0);
    }
    {
        SimOptions options = DeviceOptions(7);
        options.Battery = 0;
        PipetteSimulator sim(options);
        ASSERT_EQ(sim.Start(), 0);
        EXPECT_EQ(RunUpdate(sim, true, "", {}, history_).Status, 6);
    }
    // No device: no record.
    std::atomic<bool> never{false};
    std::ostringstream out, err;
    std::istringstream in;
    CliIo io{out, err, in, false, false};
    CliEnvironment environment;
    environment.HistoryFile = history_;
    environment.Interrupted = &never;
    EXPECT_EQ(RunCli({"update", "--server", server_->Origin() + "/pipette-update", "--ca-file",
                      certs_.CaCertFile, "--port", "ttyNONE", "--yes", "--json"},
                     io, environment),
              2);
    EXPECT_FALSE(test::Contains(out.str(), "\"event\":\"history\"")) << out.str();

    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_EQ(ReadHistoryFile(history_, records, warnings, error), 0) << error;
    ASSERT_EQ(records.size(), 2u);
    const HistoryRecord& updated = records[0];
    EXPECT_EQ(updated.Program, "veltrin-cli");
    EXPECT_EQ(updated.DeviceType, 10);
    EXPECT_EQ(updated.ResultCode, 0);
    EXPECT_EQ(updated.ResultText, "Update successful");
    EXPECT_EQ(updated.InfoText, "Größe 10µl");
    EXPECT_EQ(std::string(RecordOutcome(updated)), "success");
    EXPECT_EQ(updated.VariantId, 0x0130);
    EXPECT_EQ(updated.FirmwareVersion, "04.05.06");
    // The hashes are those of the files the server holds.
    const std::string firmware = ReadText(folder_ / updated.FirmwareFile);
    ASSERT_FALSE(firmware.empty()) << updated.FirmwareFile;
    EXPECT_EQ(updated.FirmwareSha256, Sha256Hex(firmware.data(), firmware.size()));
    const std::string variants = ReadText(folder_ / updated.VariantFile);
    ASSERT_FALSE(variants.empty()) << updated.VariantFile;
    EXPECT_EQ(updated.VariantSha256, Sha256Hex(variants.data(), variants.size()));

    // A run refused for its battery still reads the texts that name the pipette.
    const HistoryRecord& refused = records[1];
    EXPECT_FALSE(refused.InfoText.empty());
    EXPECT_EQ(refused.Port.rfind("pts/", 0), 0u);
    EXPECT_EQ(refused.ResultCode, 6);
    EXPECT_EQ(refused.Family, "Tarnovelle K7/K7x");
    EXPECT_EQ(refused.VariantFile, "");
    EXPECT_FALSE(refused.VariantId.has_value());
}

TEST_F(CliJsonTest, SignedUpdateDataIsRecordedWithItsKey) {
    Publish();
    const test::SigningKeyPair maker = test::MakeSigningKeyPair();
    ASSERT_EQ(test::SignUpdateFolder(folder_.string(), test::SampleFolderNames(folder_.string()),
                                     maker),
              "");
    const std::string key = dir_.File("maker.pub");
    ASSERT_TRUE(test::WriteFileText(key, maker.PublicPem));
    PipetteSimulator sim(DeviceOptions(10));
    ASSERT_EQ(sim.Start(), 0);

    const CliResult result = RunUpdate(sim, true, "", {"--json", "--trust-key", key}, history_);
    ASSERT_EQ(result.Status, 0) << result.Out;
    UpdateTrust trust;
    ASSERT_EQ(AddTrustedKeys(maker.PublicPem, trust), "");
    const std::string fingerprint = trust.Keys.at(0).Fingerprint;
    for (const Json& event : Events(result)) {
        if (event["event"] == "update_data") {
            EXPECT_EQ(event["check"], "signature");
            EXPECT_EQ(event["signing_key"], fingerprint);
        }
    }
    std::vector<HistoryRecord> records;
    std::vector<std::string> warnings;
    std::string error;
    ASSERT_EQ(ReadHistoryFile(history_, records, warnings, error), 0) << error;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].UpdateDataVerified);
    EXPECT_EQ(records[0].UpdateDataKey, fingerprint);
}

TEST_F(CliJsonTest, AHistoryThatCannotBeWrittenLeavesTheResultAsItIs) {
    Publish();
    ASSERT_TRUE(test::WriteFileText(dir_.File("blocker"), "x"));
    const std::string blocked = dir_.File("blocker") + "/veltrin/history.jsonl";
    // A folder that cannot be made, and a system that names no folder (no HOME): said on the
    // terminal and in the JSON events, and the update's result stays.
    const std::pair<std::string, std::string> cases[] = {
        {blocked, "cannot create the history folder"},
        {"", "no folder for the history: neither XDG_STATE_HOME nor HOME is set"},
    };
    for (const auto& [file, reason] : cases) {
        PipetteSimulator sim(DeviceOptions(6));
        ASSERT_EQ(sim.Start(), 0);
        const CliResult result = RunUpdate(sim, true, "", {}, file);
        EXPECT_EQ(result.Status, 0) << result.Out;
        EXPECT_TRUE(test::Contains(result.Err,
                                   "veltrin-cli: the update history was not written: " + reason))
            << result.Err;
        EXPECT_TRUE(test::Contains(result.StdOut, "Update finished: Update successful"));

        PipetteSimulator again(DeviceOptions(6));
        ASSERT_EQ(again.Start(), 0);
        const CliResult json = RunUpdate(again, true, "", {"--json"}, file);
        Json history;
        for (const Json& event : Events(json)) {
            if (event["event"] == "history")
                history = event;
        }
        EXPECT_EQ(history["written"], false) << json.StdOut;
        EXPECT_EQ(history["file"], file.empty() ? Json(nullptr) : Json(file));
        EXPECT_TRUE(test::Contains(history.value("error", ""), reason)) << history;
    }
}

}  // namespace
}  // namespace veltrin
