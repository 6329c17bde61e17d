// vireo-ephem's scale_seconds: the built tool, run as a program, against the conversions
// computed here on a fresh component.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cmath>

#include "ephemeris/EphemerisComponent.h"
#include "timekeeping/TimeScales.h"

namespace vireo {
namespace {

QString ToolPath() { return qEnvironmentVariable("VIREO_BIN_DIR") + "/vireo-ephem"; }

QList<QJsonObject> RunTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(ToolPath(), args);
    EXPECT_TRUE(p.waitForStarted(10000)) << ToolPath().toStdString();
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    QList<QJsonObject> out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        QJsonParseError error;
        out.append(QJsonDocument::fromJson(line, &error).object());
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    }
    return out;
}

std::array<double, kScaleCount> Expected(double lat, double lon, float zone, double ole) {
    EphemerisComponent e;
    e.SetHoldUpdate(true);
    e.SetObserverLatitude(lat);
    e.SetObserverLongitude(lon);
    e.SetObserverTimeZone(zone);
    e.SetHoldUpdate(false);
    return ScaleSecondsAt(e, ole);
}

TEST(EphemToolScaleSeconds, EightConvertedSecondsOfTheInstant) {
    const auto answers = RunTool({"35.6544", "139.7447", "0", "9", "2026-12-08T03:00:00"});
    ASSERT_EQ(answers.size(), 1);
    const QJsonArray s = answers[0]["scale_seconds"].toArray();
    ASSERT_EQ(s.size(), kScaleCount);
    EXPECT_DOUBLE_EQ(s[0].toDouble(), 10800.0);
    EXPECT_DOUBLE_EQ(s[1].toDouble(), 64800.0);  // UTC at Z = 9
    EXPECT_NEAR(s[2].toDouble(), 10800.0 + 1138.728, 1e-6);
    EXPECT_DOUBLE_EQ(s[3].toDouble(), s[7].toDouble());
    const auto expected = Expected(35.6544, 139.7447, 9.0f, OleDayFromCivil(2026, 12, 8) + 0.125);
    for (int i = 0; i < kScaleCount; ++i) EXPECT_NEAR(s[i].toDouble(), expected[i], 1e-6) << i;
    // Before dawn on the Tenpō scale: between midnight (0:00) and 6:00.
    EXPECT_GT(s[6].toDouble(), 0.0);
    EXPECT_LT(s[6].toDouble(), 21600.0);
}

TEST(EphemToolScaleSeconds, EveryQueryLineAtHighLatitudeAndOtherZones) {
    const auto answers = RunTool({}, "70 18.95 0 1 2026-06-12T23:59:59\n"
                                     "-33.87 151.21 0 10 2026-03-20T18:30:00\n");
    ASSERT_EQ(answers.size(), 2);
    const auto north = Expected(70.0, 18.95, 1.0f, OleDayFromCivil(2026, 6, 12) + 86399.0 / 86400);
    const auto south = Expected(-33.87, 151.21, 10.0f, OleDayFromCivil(2026, 3, 20) + 18.5 / 24);
    for (int q = 0; q < 2; ++q) {
        const QJsonArray s = answers[q]["scale_seconds"].toArray();
        ASSERT_EQ(s.size(), kScaleCount) << q;
        for (int i = 0; i < kScaleCount; ++i) {
            const double v = s[i].toDouble();
            EXPECT_GE(v, 0.0);
            EXPECT_LT(v, 86400.0);
            EXPECT_NEAR(v, (q == 0 ? north : south)[i], 1e-6) << q << " " << i;
        }
    }
}

}  // namespace
}  // namespace vireo
