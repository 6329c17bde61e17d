#include <gtest/gtest.h>
#include <QString>

#include "ScriptedEphemeris.h"
#include "face/Readouts.h"

namespace vireo {
namespace {

constexpr std::int32_t At(int h, int m, int s) { return ((h * 60 + m) * 60 + s) * 50; }

TEST(FormatScaleTime, ClockScalesShowWholeSeconds) {
    for (int mode : {0, 1, 2, 3, -1, 8}) {
        EXPECT_EQ(FormatScaleTime(At(9, 5, 7), mode, nullptr), "9:05:07") << mode;
        EXPECT_EQ(FormatScaleTime(At(9, 5, 7) + 49, mode, nullptr), "9:05:07") << mode;
        EXPECT_EQ(FormatScaleTime(0, mode, nullptr), "0:00:00") << mode;
        EXPECT_EQ(FormatScaleTime(4319999, mode, nullptr), "23:59:59") << mode;
        EXPECT_EQ(FormatScaleTime(At(12, 0, 0), mode, nullptr), "12:00:00") << mode;
    }
}

TEST(FormatScaleTime, ValuesOutsideTheDayComeBackIntoIt) {
    EXPECT_EQ(FormatScaleTime(-50, 0, nullptr), "23:59:59");
    EXPECT_EQ(FormatScaleTime(kScaleDay, 0, nullptr), "0:00:00");
    EXPECT_EQ(FormatScaleTime(kScaleDay + At(1, 0, 0), 6, nullptr), "暁九時半");
    EXPECT_EQ(FormatScaleTime(INT32_MIN, 7, nullptr), FormatScaleTime(INT32_MIN % kScaleDay + kScaleDay, 7, nullptr));
}

TEST(FormatScaleTime, SiderealScalesAskTheFormatterForTenthsOfASecond) {
    test::RecordingFormatter f;
    f.Reply = "17:03:09.3";
    for (int mode : {4, 5}) {
        f.Calls.clear();
        EXPECT_EQ(FormatScaleTime(3070465, mode, &f), "17:03:09.3");
        ASSERT_EQ(f.Calls.size(), 1u);
        EXPECT_DOUBLE_EQ(f.Calls[0].dayFraction, 3070465.0 / 4320000.0);
        EXPECT_EQ(f.Calls[0].hours, "#0\\:");
        EXPECT_EQ(f.Calls[0].minutes, "00\\:");
        EXPECT_EQ(f.Calls[0].seconds, "00.0");
    }
    EXPECT_EQ(FormatScaleTime(3070465, 4, nullptr), "");
}

TEST(FormatScaleTime, TenpoNamesTheTemporalHourAndItsTenth) {
    EXPECT_EQ(FormatScaleTime(At(6, 0, 0), 6, nullptr), "明六時零分");
    EXPECT_EQ(FormatScaleTime(At(7, 0, 0), 6, nullptr), "明六時半");
    EXPECT_EQ(FormatScaleTime(At(0, 0, 0), 6, nullptr), "暁九時零分");
    EXPECT_EQ(FormatScaleTime(At(12, 0, 0), 6, nullptr), "昼九時零分");
    EXPECT_EQ(FormatScaleTime(At(18, 0, 0), 6, nullptr), "暮六時零分");
    EXPECT_EQ(FormatScaleTime(At(6, 11, 59), 6, nullptr), "明六時零分");
    EXPECT_EQ(FormatScaleTime(At(6, 12, 0), 6, nullptr), "明六時一分");
    EXPECT_EQ(FormatScaleTime(4319999, 6, nullptr), "夜四時九分");
}

TEST(FormatScaleTime, EngishikiReadsDoubleHourKokuAndBun) {
    EXPECT_EQ(FormatScaleTime(At(12, 0, 0), 7, nullptr), "午三刻零分");
    EXPECT_EQ(FormatScaleTime(At(22, 59, 59), 7, nullptr), "亥四刻九分");
    EXPECT_EQ(FormatScaleTime(At(23, 0, 0), 7, nullptr), "子一刻零分");
    EXPECT_EQ(FormatScaleTime(At(0, 0, 0), 7, nullptr), "子三刻零分");
    EXPECT_EQ(FormatScaleTime(At(5, 0, 0), 7, nullptr), "卯一刻零分");
    EXPECT_EQ(FormatScaleTime(At(5, 15, 0), 7, nullptr), "卯一刻半");
    EXPECT_EQ(FormatScaleTime(At(5, 29, 59), 7, nullptr), "卯一刻九分");
}

TEST(TipText, TimeTextDashScaleName) {
    EXPECT_EQ(FormatTipText("9:05:07", 0), "9:05:07 - 地方標準時");
    EXPECT_EQ(FormatTipText("17:03:09.3", 5), "17:03:09.3 - グリニッジ恒星時");
    EXPECT_EQ(FormatTipText("子一刻零分", 7), "子一刻零分 - 延喜式");
    EXPECT_EQ(FormatTipText("9:05:07", 12), "9:05:07 - ");
    EXPECT_EQ(ScaleName(6), "天保暦");
    EXPECT_EQ(ScaleName(-1), "");
}

TEST(TipText, KeepsAtMost64CharactersNeverSplittingOne) {
    // 57 + " - " + 5 = 65 characters: the last one is cut.
    const std::string time57(57, '1');
    EXPECT_EQ(FormatTipText(time57, 0), time57 + " - 地方標準");
    // 56 + 3 + 5 = 64: kept whole.
    const std::string time56(56, '1');
    EXPECT_EQ(FormatTipText(time56, 0), time56 + " - 地方標準時");
    // Japanese characters count one each, not by their bytes.
    std::string long_text;
    for (int i = 0; i < 70; ++i) long_text += "時";
    EXPECT_EQ(QString::fromStdString(FormatTipText(long_text, 7)).size(), 64);
    EXPECT_EQ(FormatTipText(long_text, 7).size(), 64u * 3u);
    std::string kanji;
    for (int i = 0; i < 70; ++i) kanji += "子";
    std::string want;
    for (int i = 0; i < 64; ++i) want += "子";
    EXPECT_EQ(FormatTipText(kanji, 7), want);
    EXPECT_EQ(Utf8Left("a子b", 2), "a子");
    EXPECT_EQ(Utf8Left("a子b", 9), "a子b");
    EXPECT_EQ(Utf8Left("", 3), "");
}

TEST(DateLines, CivilAndLunisolar) {
    EXPECT_EQ(FormatDateLine(12, 8, "Tue"), "12/8 (Tue)");
    EXPECT_EQ(FormatDateLine(1, 1, "木"), "1/1 (木)");
    EXPECT_EQ(FormatLunisolarDateLine(false, 10, 28, "大安"), "10/28 大安");
    EXPECT_EQ(FormatLunisolarDateLine(true, 6, 1, "赤口"), "閏6/1 赤口");
}

TEST(ReadoutLabelText, DigitalModeChoosesTimeOrDate) {
    test::ScriptedEphemeris eph;
    eph.Format.Reply = "5:00:00.0";
    const ReadoutDate today{12, 8, "火"};
    const std::int32_t v = At(9, 5, 7);
    EXPECT_EQ(ReadoutLabelText(v, 0, 0, today, &eph), "9:05:07");
    EXPECT_EQ(ReadoutLabelText(v, 0, 2, today, &eph), "9:05:07");  // only 1 means the date
    EXPECT_EQ(ReadoutLabelText(v, 0, 1, today, &eph), "12/8 (火)");
    EXPECT_EQ(ReadoutLabelText(v, 3, 1, today, &eph), "12/8 (火)");
    EXPECT_EQ(ReadoutLabelText(v, 4, 1, today, &eph), "12/8 (火)");
    EXPECT_EQ(ReadoutLabelText(v, 4, 0, today, &eph), "5:00:00.0");
    EXPECT_EQ(ReadoutLabelText(v, 6, 1, today, &eph), "10/28 大安");
    eph.Leap = true;
    eph.Month = 4;
    eph.Day = 2;
    eph.Label = "先負";
    EXPECT_EQ(ReadoutLabelText(v, 7, 1, today, &eph), "閏4/2 先負");
    EXPECT_EQ(ReadoutLabelText(v, 7, 0, today, &eph), "巳一刻一分");
    EXPECT_EQ(ReadoutLabelText(v, 7, 1, today, nullptr), "");
}

}  // namespace
}  // namespace vireo
