// The pairs of a band's shift lists, without testing every pair of objects.
#include "engine/frxShiftLists.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace zentavo {
namespace {

constexpr double kTolerance = 0.0001;

bool LeftOf(const ShiftBox& x, const ShiftBox& y) { return x.left + x.width <= y.left + kTolerance; }
bool OverlapH(const ShiftBox& x, const ShiftBox& y) { return !LeftOf(x, y) && !LeftOf(y, x); }
// B starts at or below A's bottom.
bool Below(const ShiftBox& b, const ShiftBox& a) { return !(b.top - a.Bottom() <= -kTolerance); }

// Maximum bottom over the boxes entered so far, by index, and the last index
// up to a bound whose bottom exceeds a value.
class BottomTree {
 public:
  explicit BottomTree(std::size_t n) : size_(n), max_(4 * std::max<std::size_t>(n, 1), kNone) {}
  void Enter(std::size_t index, double bottom) { Enter(1, 0, size_ - 1, index, bottom); }
  // -1 when there is none.
  long LastAbove(std::size_t upTo, double value) const { return LastAbove(1, 0, size_ - 1, upTo, value); }

 private:
  static constexpr double kNone = -std::numeric_limits<double>::infinity();
  void Enter(std::size_t node, std::size_t lo, std::size_t hi, std::size_t index, double bottom) {
    max_[node] = std::max(max_[node], bottom);
    if (lo == hi) return;
    const std::size_t mid = lo + (hi - lo) / 2;
    if (index <= mid)
      Enter(2 * node, lo, mid, index, bottom);
    else
      Enter(2 * node + 1, mid + 1, hi, index, bottom);
  }
  long LastAbove(std::size_t node, std::size_t lo, std::size_t hi, std::size_t upTo, double value) const {
    if (lo > upTo || !(max_[node] > value)) return -1;
    if (lo == hi) return static_cast<long>(lo);
    const std::size_t mid = lo + (hi - lo) / 2;
    const long right = LastAbove(2 * node + 1, mid + 1, hi, upTo, value);
    return right >= 0 ? right : LastAbove(2 * node, lo, mid, upTo, value);
  }
  std::size_t size_;
  std::vector<double> max_;
};

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> ShiftPairsByTesting(std::span<const ShiftBox> boxes) {
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  for (std::size_t a = 0; a < boxes.size(); ++a)
    for (std::size_t b = a + 1; b < boxes.size(); ++b) {
      const ShiftBox& A = boxes[a];
      const ShiftBox& B = boxes[b];
      if (!Below(B, A) || !OverlapH(A, B)) continue;
      bool blocked = false;
      for (std::size_t c = a + 1; c < b && !blocked; ++c) {
        const ShiftBox& C = boxes[c];
        blocked = B.top - C.Bottom() > -kTolerance && C.top - A.Bottom() > -kTolerance && OverlapH(C, B);
      }
      if (!blocked) pairs.emplace_back(a, b);
    }
  return pairs;
}

// For a box B, the candidates are the earlier boxes above it that overlap it
// (call them S). A candidate is blocked exactly when a later candidate starts
// at or below its bottom, that is when the largest top among the later
// candidates does. So B's parents come from walking S backwards with the
// largest top seen so far; and once every earlier box above B ends at or
// above that top, all of them are blocked and the walk stops. The boxes
// above B are those whose bottom B's top has passed: visiting the B's by
// their tops, they enter a tree by index in the order of their bottoms,
// which finds the next box worth visiting in logarithmic time.
std::vector<std::pair<std::size_t, std::size_t>> ShiftPairs(std::span<const ShiftBox> boxes) {
  const std::size_t n = boxes.size();
  for (const ShiftBox& b : boxes)
    if (!std::isfinite(b.left) || !std::isfinite(b.top) || !std::isfinite(b.width) || !std::isfinite(b.height) ||
        !std::isfinite(b.Bottom()) || !std::isfinite(b.left + b.width) || b.height < 0)
      return ShiftPairsByTesting(boxes);
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  if (n < 2) return pairs;
  std::vector<std::size_t> byTop(n - 1), byBottom(n);
  std::iota(byTop.begin(), byTop.end(), std::size_t{1});
  std::iota(byBottom.begin(), byBottom.end(), std::size_t{0});
  std::sort(byTop.begin(), byTop.end(), [&](std::size_t x, std::size_t y) { return boxes[x].top < boxes[y].top; });
  std::sort(byBottom.begin(), byBottom.end(),
            [&](std::size_t x, std::size_t y) { return boxes[x].Bottom() < boxes[y].Bottom(); });
  BottomTree above(n);
  std::size_t entered = 0;
  for (std::size_t b : byTop) {
    const ShiftBox& B = boxes[b];
    // Below() falls as the bottom rises, so the boxes above B are a prefix of
    // the bottom order, and a growing one as B's top rises.
    while (entered < n && Below(B, boxes[byBottom[entered]])) {
      above.Enter(byBottom[entered], boxes[byBottom[entered]].Bottom());
      ++entered;
    }
    bool seen = false;
    double maxTop = 0;
    for (long a = above.LastAbove(b - 1, -std::numeric_limits<double>::infinity()); a >= 0;) {
      const ShiftBox& A = boxes[static_cast<std::size_t>(a)];
      if (OverlapH(A, B)) {
        if (!seen || !(maxTop - A.Bottom() > -kTolerance)) pairs.emplace_back(static_cast<std::size_t>(a), b);
        maxTop = seen ? std::max(maxTop, A.top) : A.top;
        seen = true;
      }
      if (a == 0) break;
      // A box ending at or above the largest top is blocked by that box,
      // and, its height not negative, has no larger top of its own.
      a = above.LastAbove(static_cast<std::size_t>(a - 1),
                          seen ? maxTop : -std::numeric_limits<double>::infinity());
    }
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

}  // namespace zentavo
