// The demo window's command line, which both views read.
#include <gtest/gtest.h>

#include "windowlogic/demowindowoptions.h"

namespace veltrin {
namespace {

TEST(DemoWindowOptionsTest, TakesEveryOptionAndRefusesWhatIsIncomplete) {
    const struct {
        std::vector<std::string> args;
        bool accepted;
        const char* historyFile;
    } cases[] = {
        {{"--server", "https://127.0.0.1:1/u", "--ca-file", "ca.pem", "--port", "COM5", "--port",
          "COM6", "--history-file", "h.jsonl"},
         true,
         "h.jsonl"},
        {{"--server", "file:///srv/u"}, true, ""},
        {{}, false, ""},                  // no server
        {{"--port", "COM5"}, false, ""},  // still no server
        {{"--server"}, false, ""},        // a value is missing
        {{"--server", "https://h/u", "--history-file"}, false, ""},
        {{"--server", "https://h/u", "--verbose"}, false, ""},  // unknown option
    };
    for (const auto& c : cases) {
        MainWindowServices services;
        services.HistoryFile = "untouched";
        ASSERT_EQ(ParseDemoWindowOptions(c.args, nullptr, services), c.accepted) << c.args.size();
        if (c.accepted) {
            EXPECT_EQ(services.HistoryFile, c.historyFile);
            EXPECT_TRUE(services.Download && services.StartWorker);
        } else {
            EXPECT_EQ(services.HistoryFile, "untouched");
        }
    }
}

}  // namespace
}  // namespace veltrin
