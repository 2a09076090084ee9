// Dates and times written the way this system is set up to write them.
#pragma once

#include <string>

#include "platform/clock.h"

namespace platform {

// The system's date and time separators ("/" and ":" in the C locale).
char DateSeparator();
char TimeSeparator();

// Four-digit year, month, day: "2021/03/03" with "/" as the separator.
std::string FormatYearMonthDay(const LocalDateTime& dt);
// 24-hour clock: "14:05:09" with ":" as the separator.
std::string FormatHourMinuteSecond(const LocalDateTime& dt);

// The system's short date and long time formats.
std::string ShortDateString(const LocalDateTime& dt);
std::string LongTimeString(const LocalDateTime& dt);

}  // namespace platform
