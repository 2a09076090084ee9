// The virtual loop's calendar: the start date and time plus the virtual
// milliseconds, carried across days, months, leap days and years.
#include <gtest/gtest.h>

#include "toolkit/virtual_event_loop.h"

namespace toolkit {
namespace {

struct CalendarCase {
  platform::LocalDateTime start;
  std::uint64_t runMs;
  platform::LocalDateTime expected;
};

void ExpectSame(const platform::LocalDateTime& got, const platform::LocalDateTime& want) {
  EXPECT_EQ(got.year, want.year);
  EXPECT_EQ(got.month, want.month);
  EXPECT_EQ(got.day, want.day);
  EXPECT_EQ(got.hour, want.hour);
  EXPECT_EQ(got.minute, want.minute);
  EXPECT_EQ(got.second, want.second);
  EXPECT_EQ(got.millisecond, want.millisecond);
}

TEST(VirtualCalendar, CarriesEveryField) {
  const CalendarCase cases[] = {
      {{2021, 3, 3, 14, 5, 9, 0}, 0, {2021, 3, 3, 14, 5, 9, 0}},
      {{2021, 3, 3, 14, 5, 9, 500}, 700, {2021, 3, 3, 14, 5, 10, 200}},
      {{2021, 3, 3, 23, 59, 59, 999}, 1, {2021, 3, 4, 0, 0, 0, 0}},
      {{2021, 2, 28, 23, 59, 59, 0}, 1000, {2021, 3, 1, 0, 0, 0, 0}},
      {{2024, 2, 28, 23, 59, 59, 0}, 1000, {2024, 2, 29, 0, 0, 0, 0}},
      {{2000, 2, 28, 12, 0, 0, 0}, 86400000, {2000, 2, 29, 12, 0, 0, 0}},
      {{2100, 2, 28, 12, 0, 0, 0}, 86400000, {2100, 3, 1, 12, 0, 0, 0}},
      {{1999, 12, 31, 23, 59, 58, 0}, 2500, {2000, 1, 1, 0, 0, 0, 500}},
      {{2021, 1, 31, 0, 0, 0, 0}, 40ull * 86400000, {2021, 3, 12, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    VirtualEventLoop loop(c.start);
    loop.RunFor(c.runMs);
    ExpectSame(platform::Now(), c.expected);
  }
}

}  // namespace
}  // namespace toolkit
