// Halves to even, saturated.
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>

namespace zentavo {

int RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // Far beyond any page in any unit, and well inside an int.
  constexpr double kLimit = 1.0e9;
  return static_cast<int>(std::clamp(std::nearbyint(value), -kLimit, kLimit));
}

}  // namespace zentavo
