// The dispenser's condition in words: device errors ('E' replies), error
// record entries ('r') and status ('s').
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace protocol {

// Text for the error code in B4 of an 'E' reply; nullopt for unknown codes.
std::optional<std::string_view> DeviceErrorText(std::uint8_t code);

// Label for the record code 20 to 31 in B4 of an 'r' reply (it ends in four
// spaces; the entry's number follows it); nullopt outside 20 to 31.
std::optional<std::string_view> ErrorRecordLabel(std::uint8_t code);

// Lines for an 's' reply: the status letter b4, the error detail character
// b5, the START and CLEAR key states b6 and b7 ('0' unlocked). An unknown
// letter gives no lines.
std::vector<std::string> StatusLines(std::uint8_t b4, std::uint8_t b5, std::uint8_t b6,
                                     std::uint8_t b7);

}  // namespace protocol
