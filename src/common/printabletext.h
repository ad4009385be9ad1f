#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// Text from a server, an index or a device as it may be shown on a terminal: control bytes
// (C0, DEL, and C1 in its UTF-8 form) become \xNN, so a name cannot move the cursor, change
// colours, set the window title or hide the text around it. Other bytes, also non-ASCII
// letters, are kept. With keepLineBreaks a '\n' stays a line break (texts of several lines).
std::string PrintableText(std::string_view text, bool keepLineBreaks = false);

}  // namespace veltrin
