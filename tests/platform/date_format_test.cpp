#include "platform/date_format.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Test programs run in the C locale: "/" between date parts, ":" in times.
TEST(DateFormat, FixedPatternsPadEveryField) {
  const struct {
    LocalDateTime dt;
    const char* date;
    const char* time;
  } cases[] = {
      {{2021, 3, 3, 14, 5, 9, 0}, "2021/03/03", "14:05:09"},
      {{1999, 12, 31, 0, 0, 0, 999}, "1999/12/31", "00:00:00"},
      {{2024, 2, 29, 23, 59, 59, 0}, "2024/02/29", "23:59:59"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatYearMonthDay(c.dt), c.date);
    EXPECT_EQ(FormatHourMinuteSecond(c.dt), c.time);
  }
}

}  // namespace
}  // namespace platform
