#include "face/Hands.h"

#include <cmath>

namespace vireo {

std::array<DialPoint, 3> HandEndPoints(std::int32_t v, int clockMode) {
    const bool dayDial = clockMode >= 4 && clockMode <= 7;
    int minuteFactor = 12;
    if (clockMode == 4 || clockMode == 5) minuteFactor = 24;
    if (clockMode == 7) minuteFactor = 48;
    const int secondFactor = (clockMode == 6 || clockMode == 7) ? 10 : 60;

    // Angles are kept in single precision, as the hands have always been placed; negative so
    // the hands turn clockwise.
    const float a = static_cast<float>(-(v / 50.0) * kDegreesToRadians);
    const float h = static_cast<float>(a / (dayDial ? 240.0 : 120.0));
    const float m = static_cast<float>(static_cast<double>(h) * minuteFactor);
    const float s = static_cast<float>(static_cast<double>(m) * secondFactor);

    const float angles[3] = {h, m, s};
    std::array<DialPoint, 3> ends;
    for (int j = 0; j < 3; ++j) {
        ends[j].x = static_cast<float>(-kHandLengths[j] * std::sin(static_cast<double>(angles[j])));
        ends[j].y = static_cast<float>(kHandLengths[j] * std::cos(static_cast<double>(angles[j])));
    }
    return ends;
}

}  // namespace vireo
