#include <gtest/gtest.h>

#include <cmath>

#include "face/DialGeometry.h"
#include "face/DialLabels.h"

namespace vireo {
namespace {

TEST(RoundHalfEvenInt, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEvenInt(0.5), 0);
    EXPECT_EQ(RoundHalfEvenInt(1.5), 2);
    EXPECT_EQ(RoundHalfEvenInt(2.5), 2);
    EXPECT_EQ(RoundHalfEvenInt(-0.5), 0);
    EXPECT_EQ(RoundHalfEvenInt(-1.5), -2);
    EXPECT_EQ(RoundHalfEvenInt(2.4999), 2);
    EXPECT_EQ(RoundHalfEvenInt(2.5001), 3);
    EXPECT_EQ(RoundHalfEvenInt(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEvenInt(1e30), 2147483647);
}

TEST(DialMapping, SquareAreaSpansMinus1020To1020BothWays) {
    const DialMapping m(204, 204);
    ASSERT_TRUE(m.IsValid());
    EXPECT_DOUBLE_EQ(m.ScaleLeft(), -1020);
    EXPECT_DOUBLE_EQ(m.ScaleRight(), 1020);
    EXPECT_DOUBLE_EQ(m.ScaleTop(), 1020);
    EXPECT_DOUBLE_EQ(m.ScaleBottom(), -1020);
    EXPECT_DOUBLE_EQ(m.PixelsPerUnit(), 0.1);
    EXPECT_DOUBLE_EQ(m.ToPixelX(0), 102);
    EXPECT_DOUBLE_EQ(m.ToPixelY(0), 102);
    EXPECT_DOUBLE_EQ(m.ToPixelX(-1020), 0);
    EXPECT_DOUBLE_EQ(m.ToPixelY(1020), 0);
    EXPECT_DOUBLE_EQ(m.ToPixelY(-1020), 204);
    EXPECT_DOUBLE_EQ(m.PixelsToUnits(2), 20);
}

TEST(DialMapping, WideAreaKeepsTheDialRoundAndCentred) {
    const DialMapping m(408, 204);
    EXPECT_DOUBLE_EQ(m.ScaleLeft(), -2040);
    EXPECT_DOUBLE_EQ(m.ScaleRight(), 2040);
    EXPECT_DOUBLE_EQ(m.ScaleTop(), 1020);
    EXPECT_DOUBLE_EQ(m.ScaleBottom(), -1020);
    // Same pixels per unit both ways: the top mark sits 95 px above the centre, the right
    // one 95 px to the right of it.
    const DialPoint top = m.ToPixel(DialMarkPosition(0));
    const DialPoint right = m.ToPixel(DialMarkPosition(15));
    EXPECT_NEAR(top.x, 204, 1e-4);
    EXPECT_NEAR(top.y, 102 - 95, 1e-4);
    EXPECT_NEAR(right.x, 204 + 95, 1e-4);
    EXPECT_NEAR(right.y, 102, 1e-4);
}

TEST(DialMapping, TallAreaSpansTheLongerSideProportionally) {
    const DialMapping m(204, 408);
    EXPECT_DOUBLE_EQ(m.ScaleLeft(), -1020);
    EXPECT_DOUBLE_EQ(m.ScaleTop(), 2040);
    EXPECT_DOUBLE_EQ(m.ScaleBottom(), -2040);
    EXPECT_DOUBLE_EQ(m.ToPixelY(0), 204);
}

TEST(DialMapping, EmptyAreaIsInvalid) {
    EXPECT_FALSE(DialMapping(0, 100).IsValid());
    EXPECT_FALSE(DialMapping(100, -1).IsValid());
    EXPECT_FALSE(DialMapping().IsValid());
    EXPECT_DOUBLE_EQ(DialMapping(0, 0).PixelsToUnits(2), 0);
}

TEST(HandWidths, FortyUnitsThenHalvingNeverBelowOnePixel) {
    EXPECT_EQ(HandWidths(DialMapping(204, 204)), (std::array<int, 3>{4, 2, 1}));
    EXPECT_EQ(HandWidths(DialMapping(612, 204)), (std::array<int, 3>{4, 2, 1}));  // shorter side
    EXPECT_EQ(HandWidths(DialMapping(2040, 2040)), (std::array<int, 3>{40, 20, 10}));
    // 40 units = 2.5 px rounds to 2; 1.25 px to 1.
    EXPECT_EQ(HandWidths(DialMapping(127.5, 127.5)), (std::array<int, 3>{2, 1, 1}));
    // 3.5 px rounds to 4, 1.75 px to 2.
    EXPECT_EQ(HandWidths(DialMapping(178.5, 178.5)), (std::array<int, 3>{4, 2, 1}));
    // A dial so small that 40 units are under half a pixel still gets visible hands.
    EXPECT_EQ(HandWidths(DialMapping(10, 10)), (std::array<int, 3>{1, 1, 1}));
    EXPECT_EQ(HandWidths(DialMapping()), (std::array<int, 3>{1, 1, 1}));
}

TEST(DialMarks, SixtyMarksOnRadius950StartingAtTheTopClockwise) {
    for (int i = 0; i < 60; ++i) {
        const DialPoint p = DialMarkPosition(i);
        EXPECT_NEAR(std::hypot(p.x, p.y), 950.0, 1e-3) << i;
    }
    EXPECT_NEAR(DialMarkPosition(0).y, 950, 1e-3);
    EXPECT_NEAR(DialMarkPosition(15).x, 950, 1e-3);
    EXPECT_NEAR(DialMarkPosition(30).y, -950, 1e-3);
}

TEST(DialMarks, NumeralBoxesAreCentredAt85PercentOfTheRadius) {
    const DialRect top = NumeralLabelRect(0);
    EXPECT_NEAR(top.left, -75, 1e-3);
    EXPECT_NEAR(top.top, 0.85 * 950 + 75, 1e-3);
    EXPECT_DOUBLE_EQ(top.width, 150);
    EXPECT_DOUBLE_EQ(top.height, 150);
    const DialRect three = NumeralLabelRect(3);
    EXPECT_NEAR(three.left, 0.85 * 950 - 75, 1e-3);
    EXPECT_NEAR(three.top, 75, 1e-3);
}

TEST(DialMarks, ReadoutBandIsTwoPixelsLargerThan900By150) {
    const DialMapping m(204, 204);
    const DialRect r = ReadoutLabelRect(m);
    EXPECT_DOUBLE_EQ(r.left, -470);
    EXPECT_DOUBLE_EQ(r.top, -380);
    EXPECT_DOUBLE_EQ(r.width, 940);
    EXPECT_DOUBLE_EQ(r.height, 190);
    const PixelRect p = m.ToPixel(r);
    EXPECT_NEAR(p.x, 55, 1e-9);
    EXPECT_NEAR(p.y, 140, 1e-9);
    EXPECT_NEAR(p.width, 94, 1e-9);
    EXPECT_NEAR(p.height, 19, 1e-9);
}

TEST(DialLabels, NumeralsPerScale) {
    const std::array<std::string, 12> twelve{"12", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};
    const std::array<std::string, 12> sidereal{"0", "2", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22"};
    const std::array<std::string, 12> tenpo{"九", "八", "七", "六", "五", "四", "九", "八", "七", "六", "五", "四"};
    const std::array<std::string, 12> branches{"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
    for (int mode : {0, 1, 2, 3, -1, 8}) EXPECT_EQ(DialLabelTexts(mode), twelve) << mode;
    EXPECT_EQ(DialLabelTexts(4), sidereal);
    EXPECT_EQ(DialLabelTexts(5), sidereal);
    EXPECT_EQ(DialLabelTexts(6), tenpo);
    EXPECT_EQ(DialLabelTexts(7), branches);
    // On the 24-hour dials 六 and 卯 stand at the right (dawn), 酉 at the left.
    EXPECT_EQ(DialLabelTexts(6)[3], "六");
    EXPECT_EQ(DialLabelTexts(6)[9], "六");
    EXPECT_EQ(DialLabelTexts(7)[3], "卯");
    EXPECT_EQ(DialLabelTexts(7)[9], "酉");
}

TEST(DialLabels, FontSizesFollowTheDialAndTheScale) {
    // 150 units of a 204-px dial are 15 px: 11.25 pt at 96 dpi, 15 pt at 72 dpi.
    EXPECT_DOUBLE_EQ(DialFontSize(DialMapping(204, 204), 96), 11.25);
    EXPECT_DOUBLE_EQ(DialFontSize(DialMapping(612, 204), 72), 15);
    EXPECT_DOUBLE_EQ(DialFontSize(DialMapping(), 96), 0);

    DialLabelFonts f = DialLabelFontSizes(11.25, 0);
    EXPECT_DOUBLE_EQ(f.readoutPoints, 10.25);
    EXPECT_DOUBLE_EQ(f.numeralPoints, 11.25);
    f = DialLabelFontSizes(11.25, 4);
    EXPECT_DOUBLE_EQ(f.numeralPoints, 11.25);
    for (int mode : {6, 7}) {
        f = DialLabelFontSizes(11.25, mode);
        EXPECT_DOUBLE_EQ(f.readoutPoints, 10.25);
        EXPECT_DOUBLE_EQ(f.numeralPoints, 10.25);
    }
    // A tiny dial still gets a font Qt accepts.
    f = DialLabelFontSizes(0.4, 7);
    EXPECT_DOUBLE_EQ(f.readoutPoints, 1);
    EXPECT_DOUBLE_EQ(f.numeralPoints, 1);
}

}  // namespace
}  // namespace vireo
