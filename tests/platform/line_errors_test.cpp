#include "platform/line_errors.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(LineErrors, EachMovedCounterRaisesItsFlag) {
  const LineCounters before{3, 3, 3, 3, 3};
  const struct {
    LineCounters now;
    DWORD errors;
  } cases[] = {
      {{3, 3, 3, 3, 3}, 0},
      {{4, 3, 3, 3, 3}, CE_FRAME},
      {{3, 9, 3, 3, 3}, CE_OVERRUN},
      {{3, 3, 4, 3, 3}, CE_RXPARITY},
      {{3, 3, 3, 4, 3}, CE_BREAK},
      {{3, 3, 3, 3, 4}, CE_RXOVER},
      {{4, 4, 4, 4, 4}, CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_BREAK | CE_RXOVER},
      // A counter that wrapped around still moved.
      {{-2147483647 - 1, 3, 3, 3, 3}, CE_FRAME},
  };
  for (const auto& c : cases) EXPECT_EQ(LineErrorsBetween(before, c.now), c.errors);
}

}  // namespace
}  // namespace platform
