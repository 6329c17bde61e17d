#pragma once
// End points of the three hands for a scale time. The hands start at the dial centre.

#include <array>
#include <cstdint>

#include "face/DialGeometry.h"

namespace vireo {

inline constexpr std::array<double, 3> kHandLengths{500.0, 800.0, 800.0};  // hour, minute, second

// End points in dial units of Line1(0) hour, Line1(1) minute and Line1(2) second hand for scale
// time v (1/50 s since midnight on the scale on show). The speeds follow the scale: a 12-hour
// hour hand on scales 0-3, 24 hours on 4-7; on the traditional scales the minute and second
// hands turn once per named unit of the readout.
std::array<DialPoint, 3> HandEndPoints(std::int32_t v, int clockMode);

}  // namespace vireo
