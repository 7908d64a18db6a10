// Facts about measures that every layer shares.
#pragma once

namespace platform {

// Designs (forms, page layouts, fonts) are drawn in pixels at 96 per inch.
inline constexpr int kDesignPixelsPerInch = 96;

// "round" of the program: to the nearest integer, halves to even (as the
// default rounding mode does), saturated at the ends of int's range; NaN gives
// INT_MIN.
int roundHalfEven(double x);

} // namespace platform
