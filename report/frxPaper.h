// The paper table: standard paper numbers of the printer interface with their
// sizes in tenths of a millimetre, upright. 256 means a custom size.
#pragma once

#include <optional>

namespace zentavo {

constexpr int kCustomPaperSize = 256;

struct PaperSizeMm {
  double width;
  double height;
};

// Width and height in millimetres of a paper number; nothing when unknown.
std::optional<PaperSizeMm> PaperDimensions(int number);

}  // namespace zentavo
