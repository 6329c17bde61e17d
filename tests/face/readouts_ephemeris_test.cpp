// The readout texts with the real ephemeris component: its sexagesimal formatter on the
// sidereal scales and its lunisolar calendar in the date line of the traditional scales.

#include <gtest/gtest.h>

#include "ephemeris/EphemerisComponent.h"
#include "face/Readouts.h"
#include "timekeeping/Clock.h"

namespace vireo {
namespace {

constexpr std::int32_t At(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 50; }

class RealEphemerisReadouts : public ::testing::Test {
protected:
    void SetUp() override {
        eph.SetObserverLongitude(139.7447);
        eph.SetObserverLatitude(35.6544);
        eph.SetObserverHeight(0.0);
        eph.SetObserverTimeZone(9.0f);
    }
    void SetDate(int y, int m, int d) { eph.SetCurrentDate(OleDayFromCivil(y, m, d) + 0.5); }
    EphemerisComponent eph;
};

TEST_F(RealEphemerisReadouts, SiderealScalesShowTenthsOfASecond) {
    for (int mode : {4, 5}) {
        EXPECT_EQ(FormatScaleTime(3070465, mode, &eph.Formatter()), "17:03:29.3") << mode;
        EXPECT_EQ(FormatScaleTime(0, mode, &eph.Formatter()), "0:00:00.0") << mode;
        EXPECT_EQ(FormatScaleTime(At(9, 5, 7) + 5, mode, &eph.Formatter()), "9:05:07.1") << mode;
    }
    const ReadoutDate today{12, 8, "Tue"};
    EXPECT_EQ(ReadoutLabelText(At(23, 59, 59) + 45, 4, 0, today, &eph), "23:59:59.9");
    EXPECT_EQ(FormatTipText(FormatScaleTime(At(6, 0, 0), 4, &eph.Formatter()), 4), "6:00:00.0 - 地方恒星時");
}

TEST_F(RealEphemerisReadouts, TraditionalScalesShowTheLunisolarDate) {
    const ReadoutDate today{1, 22, "Sun"};
    SetDate(2023, 1, 22);  // New Year's day of the lunisolar year, a 先勝 day
    EXPECT_EQ(ReadoutLabelText(At(12, 0, 0), 6, 1, today, &eph), "1/1 先勝");
    EXPECT_EQ(ReadoutLabelText(At(12, 0, 0), 7, 1, today, &eph), "1/1 先勝");
    EXPECT_EQ(ReadoutLabelText(At(12, 0, 0), 0, 1, today, &eph), "1/22 (Sun)");
    SetDate(2023, 3, 22);  // first day of the leap second month
    EXPECT_EQ(ReadoutLabelText(At(12, 0, 0), 6, 1, today, &eph), "閏2/1 友引");
}

}  // namespace
}  // namespace vireo
