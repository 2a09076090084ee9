// The fixed patterns of the log banner's stamp, written with the system's
// separators; the separators and the locale formats are per platform.
#include "platform/date_format.h"

#include <cstdio>

namespace platform {
namespace {

std::string TwoDigits(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

}  // namespace

std::string FormatYearMonthDay(const LocalDateTime& dt) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", dt.year);
  const char sep = DateSeparator();
  return std::string(year) + sep + TwoDigits(dt.month) + sep + TwoDigits(dt.day);
}

std::string FormatHourMinuteSecond(const LocalDateTime& dt) {
  const char sep = TimeSeparator();
  return TwoDigits(dt.hour) + sep + TwoDigits(dt.minute) + sep + TwoDigits(dt.second);
}

}  // namespace platform
