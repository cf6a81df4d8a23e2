// The pairs of the shift lists: small layouts worked out by hand from the
// rule, and many random layouts against the rule tested pair by pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/frxShiftLists.h"

namespace zentavo {
namespace {

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// The band's top edge as the engine puts it first: band width 200.
constexpr ShiftBox kEdge{0, -2, 200, 1};

TEST(ShiftListsTest, SmallLayouts) {
  struct Case {
    std::vector<ShiftBox> boxes;  // after the edge, in top order
    Pairs pairs;
    const char* why;
  };
  const Case cases[] = {
      {{{0, 0, 50, 10}, {0, 10, 50, 10}, {0, 20, 50, 10}}, {{0, 1}, {1, 2}, {2, 3}},
       "a column: each box pushes the one under it, the edge only the first"},
      {{{0, 0, 50, 10}, {60, 0, 50, 10}, {0, 20, 110, 10}}, {{0, 1}, {0, 2}, {1, 3}, {2, 3}},
       "two side by side push the wide box under both"},
      {{{0, 0, 50, 10}, {50, 0, 50, 10}}, {{0, 1}, {0, 2}},
       "boxes that only touch at an edge do not overlap"},
      {{{0, 0, 50, 10}, {49.99995, 20, 50, 10}}, {{0, 1}, {0, 2}},
       "an overlap within the tolerance counts as none"},
      {{{0, 0, 50, 10}, {0, 9.99995, 50, 10}}, {{0, 1}, {1, 2}},
       "a box starting within the tolerance above the bottom is below"},
      {{{0, 0, 50, 10}, {0, 9.999, 50, 10}}, {{0, 1}, {0, 2}},
       "a box starting above the bottom overlaps and is pushed by the edge"},
      {{{0, 0, 10, 100}, {20, 0, 50, 10}, {20, 20, 50, 10}, {0, 110, 70, 10}}, {{0, 1}, {0, 2}, {1, 4}, {2, 3}, {3, 4}},
       "a tall box beside a column still pushes what lies under both"},
      {{{0, 0, 50, 10}, {60, 15, 50, 10}, {0, 30, 50, 10}}, {{0, 1}, {0, 2}, {1, 3}},
       "a box between them that does not overlap the lower one blocks nothing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<ShiftBox> boxes{kEdge};
    boxes.insert(boxes.end(), c.boxes.begin(), c.boxes.end());
    EXPECT_EQ(ShiftPairsByTesting(boxes), c.pairs);
    EXPECT_EQ(ShiftPairs(boxes), c.pairs);
  }
}

// Boxes sorted by top to two decimals, as the engine sorts them.
std::vector<ShiftBox> InTopOrder(std::vector<ShiftBox> boxes) {
  std::stable_sort(boxes.begin(), boxes.end(),
                   [](const ShiftBox& a, const ShiftBox& b) { return std::round(a.top * 100) < std::round(b.top * 100); });
  boxes.insert(boxes.begin(), kEdge);
  return boxes;
}

TEST(ShiftListsTest, RandomLayoutsGiveThePairsOfTheRule) {
  struct Shape {
    const char* why;
    int count;
    double spread;  // of positions, in pixels
    double grid;    // positions snap to this (0: none)
    double maxHeight;
  };
  const Shape shapes[] = {
      {"a grid of touching boxes", 300, 200, 10, 10},
      {"boxes anywhere, overlapping", 200, 200, 0, 40},
      {"tall and flat boxes on a coarse grid", 250, 150, 25, 80},
      {"tops a hundredth apart, sorted by two decimals", 150, 2, 0.005, 1},
      {"boxes without height", 150, 100, 5, 0},
  };
  std::mt19937 random(14);
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.why);
    for (int round = 0; round < 20; ++round) {
      std::uniform_real_distribution<double> pos(0, s.spread), size(0, s.maxHeight), width(1, 60);
      auto snap = [&](double v) { return s.grid > 0 ? std::round(v / s.grid) * s.grid : v; };
      std::vector<ShiftBox> boxes;
      for (int i = 0; i < s.count; ++i) boxes.push_back({snap(pos(random)), snap(pos(random)), snap(width(random)) + 1,
                                                          snap(size(random))});
      const std::vector<ShiftBox> ordered = InTopOrder(boxes);
      ASSERT_EQ(ShiftPairs(ordered), ShiftPairsByTesting(ordered)) << "round " << round;
    }
  }
}

TEST(ShiftListsTest, BoxesThatAreNoNumbersStillGiveThePairsOfTheRule) {
  const double nan = std::nan("");
  const std::vector<ShiftBox> boxes = {kEdge, {0, 0, 50, 10}, {0, nan, 50, 10}, {0, 20, 50, -5}, {0, 30, 50, 10}};
  EXPECT_EQ(ShiftPairs(boxes), ShiftPairsByTesting(boxes));
}

}  // namespace
}  // namespace zentavo
