// What the console may write into its panes, written out independently of
// the code that builds the lines, so a fuzzer can tell a wrong line from a
// right one.
#pragma once

#include <string>

namespace fuzz {

// A line of the result pane Memo1 that the receive path can add: one of the
// fixed texts, or one built by its rules from fixed texts and numbers.
bool IsResultLine(const std::string& line);

// A line of the received-traffic pane: "Rx : 06", "Rx : 0a", or "Rx : " and
// the dump of a ten-byte frame that begins with STX and ends with ETX.
bool IsReceivedLine(const std::string& line);

// A decimal integer as the console writes one: an optional '-', no leading
// zeros, within the given range.
bool IsDecimal(const std::string& text, long long min, long long max);

}  // namespace fuzz
