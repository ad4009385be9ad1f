#include "events/jsonevents.h"

#include <gtest/gtest.h>

#include <sstream>

namespace veltrin {
namespace {

// A reader takes one line per event, so bytes from a device or a file name that are not UTF-8
// must neither break the line nor end the run.
TEST(JsonEvents, EachEventIsOneLineWithEventAndPortFirstAndForeignBytesReplaced) {
    std::ostringstream out;
    UpdateEventStream events(out, "");
    events.Emit("device", {{"info_text", "Lab\xff 3"}});
    events.SetPort("pts/4");
    events.Emit("start");
    EXPECT_EQ(out.str(),
              "{\"event\":\"device\",\"port\":null,\"info_text\":\"Lab\xef\xbf\xbd 3\"}\n"
              "{\"event\":\"start\",\"port\":\"pts/4\"}\n");
}

}  // namespace
}  // namespace veltrin
