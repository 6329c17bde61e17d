#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <cmath>
#include <variant>

#include "EphemQuery.h"
#include "EphemerisTestUtil.h"
#include "ephemeris/EphemerisComponent.h"

namespace vireo {
namespace {

QJsonObject Parse(const std::string& json) {
    QJsonParseError error;
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json;
    return doc.object();
}

TEST(EphemQuery, ParsesAndRefusesLines) {
    auto ok = ParseEphemQuery("  35.6544\t139.7447 0 9 2024-06-21T12:00:00 ");
    ASSERT_TRUE(std::holds_alternative<EphemQuery>(ok));
    const EphemQuery& q = std::get<EphemQuery>(ok);
    EXPECT_EQ(q.latitude, 35.6544);
    EXPECT_EQ(q.timeZone, 9.0f);
    EXPECT_DOUBLE_EQ(q.localDate, test::Ole(2024, 6, 21, 12));
    EXPECT_EQ(q.at, "2024-06-21T12:00:00");
    for (const char* bad : {"", "35 139 0 9", "35 139 0 9 2024-06-21T12:00:00 extra",
                            "x 139 0 9 2024-06-21T12:00:00", "35 181 0 9 2024-06-21T12:00:00",
                            "35 139 -5 9 2024-06-21T12:00:00", "35 139 0 nan 2024-06-21T12:00:00",
                            "35 139 0 9 2024-06-21 12:00:00", "35 139 0 9 2024-13-01T00:00:00",
                            "35 139 0 9 2023-02-29T00:00:00", "35 139 0 9 2024-06-21T24:00:00",
                            "35 139 0 9 0999-06-21T12:00:00", "35 139 0 9 2024-6-21T12:00:00"}) {
        auto r = ParseEphemQuery(bad);
        ASSERT_TRUE(std::holds_alternative<std::string>(r)) << bad;
        EXPECT_FALSE(std::get<std::string>(r).empty());
    }
}

TEST(EphemQuery, AnswerHoldsEveryFieldFromTheComponent) {
    EphemerisComponent tool;
    auto parsed = ParseEphemQuery("35.6544 139.7447 0 9 2033-12-22T08:30:00");
    const QJsonObject o = Parse(EphemAnswerJson(tool, std::get<EphemQuery>(parsed)));
    const QStringList expected = {"at", "sun_ra", "sun_altitude", "rise_set_depression",
                                  "sidereal_greenwich", "sidereal_local", "dawn", "dusk",
                                  "solar_term_index", "solar_term_day", "next_term",
                                  "lunisolar_month", "lunisolar_day", "leap_month", "day_label",
                                  "scale_seconds"};
    QStringList keys = o.keys();
    QStringList sorted = expected;
    sorted.sort();
    keys.sort();
    EXPECT_EQ(keys, sorted);

    EphemerisComponent e;
    e.SetCurrentDate(test::Ole(2033, 12, 22, 8, 30));
    EXPECT_NEAR(o["sun_ra"].toDouble(), e.RightAscension(), 1e-7);
    EXPECT_NEAR(o["sun_altitude"].toDouble(), e.Altitude(), 1e-7);
    EXPECT_NEAR(o["rise_set_depression"].toDouble(), e.RiseSetDepression(), 1e-7);
    EXPECT_NEAR(o["sidereal_greenwich"].toDouble(), e.SiderealTime(1), 1e-7);
    EXPECT_NEAR(o["sidereal_local"].toDouble(), e.SiderealTime(3), 1e-7);
    EXPECT_EQ(o["dawn"].toString().toStdString(), LocalDateTimeText(e.Dawn()));
    EXPECT_EQ(o["dusk"].toString().toStdString(), LocalDateTimeText(e.Dusk()));
    EXPECT_EQ(o["solar_term_index"].toInt(), 21);
    EXPECT_EQ(o["solar_term_day"].toInt(), 2);  // 冬至 2033 fell on 12-21
    EXPECT_EQ(o["next_term"].toString().toStdString(),
              LocalDateTimeText(e.TimeAtSolarLongitude(285.0, e.CurrentDate())));
    EXPECT_EQ(o["lunisolar_month"].toInt(), 11);
    EXPECT_EQ(o["lunisolar_day"].toInt(), 1);
    EXPECT_TRUE(o["leap_month"].toBool());
    EXPECT_EQ(o["day_label"].toString(), QStringLiteral("大安"));
}

// The ends of the accepted years still have every field, the calendar reaching into the
// neighbouring years.
TEST(EphemQuery, EdgesOfTheAcceptedYears) {
    EphemerisComponent tool;
    for (const char* line : {"90 0 0 14 1000-01-01T00:00:00", "-90 180 0 -12 2999-12-31T23:59:59"}) {
        auto parsed = ParseEphemQuery(line);
        ASSERT_TRUE(std::holds_alternative<EphemQuery>(parsed)) << line;
        const QJsonObject o = Parse(EphemAnswerJson(tool, std::get<EphemQuery>(parsed)));
        EXPECT_FALSE(o.contains("error"));
        EXPECT_GE(o["lunisolar_day"].toInt(), 1) << line;
        EXPECT_TRUE(o["dawn"].isNull());  // polar night and polar day
    }
}

TEST(EphemQuery, NullOnADayWithoutTheCrossing) {
    EphemerisComponent tool;
    auto parsed = ParseEphemQuery("78.2 15.6 0 1 2025-12-21T12:00:00");
    const QJsonObject o = Parse(EphemAnswerJson(tool, std::get<EphemQuery>(parsed)));
    EXPECT_TRUE(o["dawn"].isNull());
    EXPECT_TRUE(o["dusk"].isNull());
    EXPECT_EQ(o["solar_term_day"].toInt(), 1);
}

TEST(EphemQuery, ChosenFieldsOnly) {
    auto chosen = SelectEphemFields("day_label,at,lunisolar_day");
    ASSERT_TRUE(std::holds_alternative<std::vector<const EphemField*>>(chosen));
    auto& fields = std::get<std::vector<const EphemField*>>(chosen);
    EphemerisComponent tool;
    auto parsed = ParseEphemQuery("35 139 0 9 2026-02-17T10:00:00");
    EXPECT_EQ(EphemAnswerJson(tool, std::get<EphemQuery>(parsed), &fields),
              "{\"day_label\":\"先勝\",\"at\":\"2026-02-17T10:00:00\",\"lunisolar_day\":1}");
    for (const char* bad : {"", "at,,day_label", "at,nothing", "sun_ra "}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(SelectEphemFields(bad))) << bad;
    }
}

TEST(EphemQuery, TextHelpers) {
    EXPECT_EQ(LocalDateTimeText(test::Ole(2024, 12, 31, 23, 59, 59.6)), "2025-01-01T00:00:00");
    EXPECT_EQ(LocalDateTimeText(test::Ole(1901, 3, 4, 5, 6, 7.2)), "1901-03-04T05:06:07");
    EXPECT_EQ(JsonString("a\"b\\c\n\x01仏"), "\"a\\\"b\\\\c\\n\\u0001仏\"");
}

// The real program: one query from its arguments, many from standard input, errors, --help.
TEST(EphemTool, RunsAsAProgram) {
    const QString program = qEnvironmentVariable("VIREO_BIN_DIR") + "/vireo-ephem";
    QProcess p;
    p.start(program, {"35.6544", "139.7447", "0", "9", "2024-06-21T12:00:00"});
    ASSERT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0);
    const QJsonObject one = Parse(p.readAllStandardOutput().trimmed().toStdString());
    EXPECT_EQ(one["dawn"].toString(), "2024-06-21T03:47:18");
    EXPECT_EQ(one["solar_term_day"].toInt(), 1);  // 夏至 05:51 JST

    p.start(program, {});
    p.write("35.6544 139.7447 0 9 2024-02-10T00:00:00\n\nbad line\r\n"
            "35.6544 139.7447 0 9 2024-02-09T23:59:59\n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(Parse(lines[0].toStdString())["lunisolar_day"].toInt(), 1);
    const QJsonObject error = Parse(lines[1].toStdString());
    EXPECT_EQ(error["line"].toInt(), 3);
    EXPECT_EQ(error["input"].toString(), "bad line");
    EXPECT_FALSE(error["error"].toString().isEmpty());
    EXPECT_EQ(Parse(lines[2].toStdString())["lunisolar_month"].toInt(), 12);

    p.start(program, {"--help"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* word : {"LAT", "sun_ra", "next_term", "day_label", "null", "exit"}) {
        EXPECT_TRUE(help.contains(word)) << word;
    }

    p.start(program, {"--fields", "lunisolar_month,leap_month", "35", "139", "0", "9", "2023-03-22T00:00:00"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput().trimmed(), "{\"lunisolar_month\":2,\"leap_month\":true}");
    p.start(program, {"--fields=sun_colour", "35", "139", "0", "9", "2023-03-22T00:00:00"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("sun_colour"));

    p.start(program, {"35", "139"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(Parse(p.readAllStandardOutput().trimmed().toStdString()).contains("error"));
}

}  // namespace
}  // namespace vireo
