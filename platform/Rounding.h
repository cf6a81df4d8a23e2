// Rounding of floating-point values to whole numbers: to the nearest, halves
// to even, the rule wherever no other is named. Saturated, so that sizes and
// positions of unknown origin cannot overflow; NaN gives 0.
#pragma once

namespace zentavo {

int RoundHalfEven(double value);

}  // namespace zentavo
