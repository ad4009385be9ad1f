#pragma once

#include <string>

namespace veltrin {

// True when text is a time as the records hold it, "YYYY-MM-DDThh:mm:ssZ" (UTC), naming a real
// moment: a 31 February or an hour 24 is no time, so a record holding one never passes a
// filter by time.
bool IsUtcTimeText(const std::string& text);

// Which end of the span a date names when the time of day is left out.
enum class DateBound { Start, End };

// A date for a query of the history: "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or "YYYY-MM-DDThh:mm:ss"
// (a blank instead of the T, a trailing Z allowed; always UTC) as "YYYY-MM-DDThh:mm:ssZ",
// comparable as text with a record's time. What is left out counts from the start of the day
// or minute for DateBound::Start, and up to its last second for DateBound::End, so
// "--until 2026-03-01" keeps the runs of that day. False when the text is not such a date.
bool ParseUtcDate(const std::string& text, DateBound bound, std::string& utcTime);

}  // namespace veltrin
