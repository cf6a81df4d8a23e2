// Which objects of a band move when an object above them grows: the pairs
// (parent, child) of the band's shift lists, found from the objects' boxes.
#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace zentavo {

struct ShiftBox {
  double left, top, width, height;
  double Bottom() const { return top + height; }
};

// Boxes in the band's top order (the first one the band's top edge). B is a
// shift child of an earlier A when B starts at or below A's bottom, the two
// overlap horizontally, and no box between them in the order lies wholly
// between them while overlapping B. Pairs (index of A, index of B), sorted.
std::vector<std::pair<std::size_t, std::size_t>> ShiftPairs(std::span<const ShiftBox> boxes);

// The same by testing every pair against every box between: cubic, kept for
// boxes whose numbers are not finite or whose height is negative, where the
// order-based shortcuts do not hold.
std::vector<std::pair<std::size_t, std::size_t>> ShiftPairsByTesting(std::span<const ShiftBox> boxes);

}  // namespace zentavo
