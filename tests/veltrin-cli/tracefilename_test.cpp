#include "args/tracefilename.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "args/cliarguments.h"
#include "output/endadvice.h"

namespace veltrin {
namespace {

// The files of several devices lie beside the one named, one per port, never two ports in one.
TEST(TraceFileForPortTest, AddsThePortBeforeTheExtensionOfTheNameItself) {
    struct Case {
        const char* File;
        const char* Port;
        const char* Expected;
    };
    const Case cases[] = {
        {"trace.txt", "ttyACM0", "trace-ttyACM0.txt"},
        {"logs/trace.txt", "pts/7", "logs/trace-pts_7.txt"},
        {"logs.d/trace", "ttyUSB12", "logs.d/trace-ttyUSB12"},
        {"C:\\bench.d\\trace", "COM3", "C:\\bench.d\\trace-COM3"},
        {".trace", "COM3", ".trace-COM3"},
        {"run.1.log", "/dev/ttyACM0", "run.1-dev_ttyACM0.log"},
        {"t.txt", "\\\\.\\COM12", "t-COM12.txt"},
        {"t.txt", "../..", "t-port.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TraceFileForPort(c.File, c.Port), c.Expected) << c.File << " " << c.Port;
}

TEST(TraceOptionTest, UpdateTakesATraceFile) {
    CliArguments parsed;
    std::string error;
    ASSERT_TRUE(ParseCliArguments({"update", "--trace", "t.txt", "--port", "pts/1"}, parsed, error))
        << error;
    EXPECT_EQ(parsed.TraceFile, "t.txt");
    EXPECT_EQ(parsed.Ports, std::vector<std::string>{"pts/1"});
    for (const std::vector<std::string>& refused : {std::vector<std::string>{"update", "--trace"},
                                                    {"update", "--trace="},
                                                    {"check", "--trace", "t"}})
        EXPECT_FALSE(ParseCliArguments(refused, parsed, error)) << refused.back();
}

// Each code a technician meets often gets one line of advice; a success, a cancel and the
// rare codes keep the end texts alone.
TEST(EndAdviceTest, TheCommonFailuresSayWhatToDo) {
    struct Case {
        int Code;
        const char* Part;  // empty: no advice
    };
    const Case cases[] = {
        {0, ""},
        {1, ""},
        {2, "switched on"},
        {3, "--port"},
        {6, "charge"},
        {7, "variant id"},
        {11, "writing into the pipette failed"},
        {14, ""},
        {19, "stopped answering"},
        {22, "stopped answering"},
        {29, "writing into the pipette failed"},
        {35, "stopped answering"},
        {39, "writing into the pipette failed"},
        {100, ""},
    };
    for (const Case& c : cases) {
        const std::string advice = EndAdviceFor(c.Code);
        if (std::string(c.Part).empty()) {
            EXPECT_EQ(advice, "") << c.Code;
        } else {
            EXPECT_EQ(advice.rfind("What to do: ", 0), 0u) << c.Code;
            EXPECT_NE(advice.find(c.Part), std::string::npos) << c.Code << ": " << advice;
            EXPECT_EQ(advice.find('\n'), std::string::npos) << c.Code;
        }
    }
}

}  // namespace
}  // namespace veltrin
