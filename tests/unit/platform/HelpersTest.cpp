// The small rules every layer shares: rounding, the date-time clock, ASCII
// case folding and trimming, restore-on-exit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Rounding.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"

namespace zentavo {
namespace {

TEST(Helpers, RoundHalfEvenSaturates) {
  struct Row {
    double value;
    int rounded;
    const char* why;
  };
  const Row rows[] = {
      {10.5, 10, "a half goes to the even neighbour"},
      {11.5, 12, "and upwards when that is even"},
      {-2.5, -2, "negative halves too"},
      {30.4999, 30, "below the half"},
      {1e300, 1000000000, "a forged size saturates instead of overflowing"},
      {-1e300, -1000000000, "in both directions"},
      {std::numeric_limits<double>::infinity(), 1000000000, "infinity saturates"},
      {std::nan(""), 0, "NaN gives 0"},
  };
  for (const Row& r : rows) EXPECT_EQ(RoundHalfEven(r.value), r.rounded) << r.why;
}

TEST(Helpers, DateTimeCountsDaysSinceTheEpochOfTheFormat) {
  // Expected values computed with Python's datetime: (date - 1899-12-30).
  struct Row {
    int y, mo, d, h, mi, s, ms;
    double value;
  };
  const Row rows[] = {
      {1899, 12, 30, 0, 0, 0, 0, 0.0},
      {1900, 1, 1, 0, 0, 0, 0, 2.0},
      {2013, 1, 1, 10, 30, 0, 0, 41275.4375},
      {2026, 12, 10, 12, 0, 0, 0, 46366.5},
      {1800, 1, 1, 0, 0, 0, 0, -36522.0},
  };
  for (const Row& r : rows)
    EXPECT_DOUBLE_EQ(DateTimeOf(r.y, r.mo, r.d, r.h, r.mi, r.s, r.ms), r.value) << r.y << "-" << r.mo << "-" << r.d;
  // The clock reads the local time of today: somewhere in this century.
  const double now = NowAsDateTime();
  EXPECT_GT(now, DateTimeOf(2000, 1, 1, 0, 0, 0, 0));
  EXPECT_LT(now, DateTimeOf(2100, 1, 1, 0, 0, 0, 0));
}

TEST(Helpers, AsciiFoldingLeavesOtherBytesAlone) {
  EXPECT_TRUE(SameTextAscii("MmHastaAdi", "mmhastaadi"));
  EXPECT_FALSE(SameTextAscii("\xDD", "i")) << "the Turkish capital dotted I is not an ASCII letter";
  EXPECT_FALSE(SameTextAscii("ab", "abc"));
  EXPECT_EQ(UpperAscii("i\xFD" "z"), "I\xFD" "Z");
  EXPECT_EQ(LowerAscii("I\xDD" "Z"), "i\xDD" "z");
  EXPECT_EQ(TrimBlanks(" \t\x01" "12 34\r\n"), "12 34") << "control characters go with the blanks";
  EXPECT_EQ(TrimBlanks(" \t "), "");
}

TEST(Helpers, ScopeGuardsRestoreOnEveryWayOut) {
  int value = 1;
  try {
    ScopedValue set(value, 2);
    EXPECT_EQ(value, 2);
    throw std::runtime_error("out");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(value, 1) << "restored when an exception leaves the scope";
  int undone = 0;
  {
    ScopeGuard undo([&] { ++undone; });
  }
  {
    ScopeGuard undo([&] { ++undone; });
    undo.Dismiss();
  }
  EXPECT_EQ(undone, 1) << "a dismissed guard does nothing";
}

}  // namespace
}  // namespace zentavo
