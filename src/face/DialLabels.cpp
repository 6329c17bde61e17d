#include "face/DialLabels.h"

#include <algorithm>

#include "platform/ResourceStrings.h"

namespace vireo {

namespace {

int NumeralResourceId(int clockMode, int i) {
    switch (clockMode) {
    case 4:
    case 5:
        return 1120 + i;
    case 6:
        return 1160 + i % 6;
    case 7:
        return 1140 + i;
    default:
        return 1100 + i;
    }
}

bool IsKanjiDial(int clockMode) { return clockMode == 6 || clockMode == 7; }

}  // namespace

std::array<std::string, 12> DialLabelTexts(int clockMode) {
    std::array<std::string, 12> texts;
    for (int i = 0; i < 12; ++i) texts[i] = LoadResString(NumeralResourceId(clockMode, i));
    return texts;
}

double DialFontSize(const DialMapping& mapping, double logicalDpiY) {
    if (!mapping.IsValid() || !(logicalDpiY > 0.0)) return 0.0;
    return 150.0 * mapping.PixelsPerUnit() * 72.0 / logicalDpiY;
}

DialLabelFonts DialLabelFontSizes(double size, int clockMode) {
    DialLabelFonts fonts;
    fonts.readoutPoints = std::max(1.0, size - 1.0);
    fonts.numeralPoints = std::max(1.0, IsKanjiDial(clockMode) ? size - 1.0 : size);
    return fonts;
}

}  // namespace vireo
