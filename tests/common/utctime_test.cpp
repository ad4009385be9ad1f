// Times of the records and dates of a history query are checked against the calendar.
#include "common/utctime.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrin {
namespace {

TEST(UtcTimeTest, OnlyARealMomentInTheRecordsOwnFormIsATime) {
    for (const char* time :
         {"2026-12-09T12:21:55Z", "2024-02-29T00:00:00Z", "2026-12-31T23:59:59Z"})
        EXPECT_TRUE(IsUtcTimeText(time)) << time;
    for (const char* text : {"", "2026-02-31T12:00:00Z", "2025-02-29T12:00:00Z",
                             "2026-04-31T12:00:00Z", "2026-12-09T24:00:00Z", "2026-12-09T12:60:00Z",
                             "2026-12-09T12:00:60Z", "2026-12-09 12:00:00Z", "2026-12-09T12:00:00",
                             "2026-12-09T12:00:00Z ", "yesterday", "2026-12-09T12:00:00+01:00"}) {
        EXPECT_FALSE(IsUtcTimeText(text)) << text;
    }
}

TEST(UtcTimeTest, QueryDatesNameTheStartOrTheEndOfWhatTheyLeaveOut) {
    struct Case {
        const char* Text;
        const char* Start;  // nullptr: refused
        const char* End;
    };
    const Case cases[] = {
        {"2026-03-01", "2026-03-01T00:00:00Z", "2026-03-01T23:59:59Z"},
        {"2026-03-01T14:30", "2026-03-01T14:30:00Z", "2026-03-01T14:30:59Z"},
        {"2026-03-01 14:30:07z", "2026-03-01T14:30:07Z", "2026-03-01T14:30:07Z"},
        {"2024-02-29", "2024-02-29T00:00:00Z", "2024-02-29T23:59:59Z"},
        {"2026-02-31", nullptr, nullptr},
        {"2026-02-29", nullptr, nullptr},
        {"2026-06-31T10:00", nullptr, nullptr},
        {"2026-03-01T14", nullptr, nullptr},
        {"2026-03-01T14:30:07:00", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        std::string start, end;
        EXPECT_EQ(ParseUtcDate(c.Text, DateBound::Start, start), c.Start != nullptr) << c.Text;
        EXPECT_EQ(ParseUtcDate(c.Text, DateBound::End, end), c.End != nullptr) << c.Text;
        if (c.Start != nullptr) {
            EXPECT_EQ(start, c.Start);
            EXPECT_EQ(end, c.End);
        }
    }
}

}  // namespace
}  // namespace veltrin
