#pragma once
// Texts and font sizes of the numerals (Label2) and the readout (Label1) for each scale.

#include <array>
#include <string>

#include "face/DialGeometry.h"

namespace vireo {

// Numeral texts, i = 0 at the top, clockwise: "12", "1" .. "11" on scales 0-3 (and any
// unknown scale), "0", "2" .. "22" on the sidereal scales 4 and 5, "九" .. "四" twice on
// scale 6, the twelve branches "子" .. "亥" on scale 7. UTF-8.
std::array<std::string, 12> DialLabelTexts(int clockMode);

// 150 dial units measured vertically, in points, for a screen of the given logical DPI.
double DialFontSize(const DialMapping& mapping, double logicalDpiY);

struct DialLabelFonts {
    double readoutPoints = 1.0;  // Label1
    double numeralPoints = 1.0;  // Label2
};

// Label1 one point below size; the numerals at size, one point less for the kanji dials
// (scales 6 and 7). Never below one point, so a tiny window still gets a valid font.
DialLabelFonts DialLabelFontSizes(double size, int clockMode);

}  // namespace vireo
