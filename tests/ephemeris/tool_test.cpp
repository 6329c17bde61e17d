#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <random>
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

QString ToolPath() { return qEnvironmentVariable("VIREO_BIN_DIR") + "/vireo-ephem"; }

// Well-formed UTF-8 by decoding each code point: no stray or missing continuation bytes,
// no overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        char32_t cp = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// A strict check of JSON syntax (RFC 8259) for one text, written apart from any library.
class JsonSyntax {
public:
    static bool Valid(const QByteArray& text) {
        JsonSyntax j(text);
        return j.Value() && (j.Blank(), j.p_ == j.s_.size());
    }

private:
    explicit JsonSyntax(const QByteArray& s) : s_(s) {}
    char Peek() const { return p_ < s_.size() ? s_[p_] : '\0'; }
    void Blank() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t' || s_[p_] == '\n' || s_[p_] == '\r')) ++p_;
    }
    bool Literal(const char* word) {
        const qsizetype n = static_cast<qsizetype>(std::strlen(word));
        if (s_.mid(p_, n) != word) return false;
        p_ += n;
        return true;
    }
    bool Digits() {
        const qsizetype start = p_;
        while (Peek() >= '0' && Peek() <= '9') ++p_;
        return p_ > start;
    }
    bool Number() {
        if (Peek() == '-') ++p_;
        if (Peek() == '0') ++p_;
        else if (!Digits()) return false;
        if (Peek() == '.' && (++p_, !Digits())) return false;
        if (Peek() == 'e' || Peek() == 'E') {
            ++p_;
            if (Peek() == '+' || Peek() == '-') ++p_;
            if (!Digits()) return false;
        }
        return true;
    }
    bool String() {
        if (Peek() != '"') return false;
        for (++p_; p_ < s_.size(); ++p_) {
            const auto c = static_cast<unsigned char>(s_[p_]);
            if (c == '"') return ++p_, true;
            if (c < 0x20) return false;
            if (c != '\\') continue;
            const char e = ++p_ < s_.size() ? s_[p_] : '\0';
            if (e == 'u') {
                for (int k = 0; k < 4; ++k) {
                    if (++p_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[p_]))) return false;
                }
            } else if (!std::strchr("\"\\/bfnrt", e) || e == '\0') {
                return false;
            }
        }
        return false;
    }
    bool Value() {
        Blank();
        const char c = Peek();
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++p_;
            Blank();
            if (Peek() == close) return ++p_, true;
            for (;;) {
                if (c == '{') {
                    Blank();
                    if (!String()) return false;
                    Blank();
                    if (Peek() != ':') return false;
                    ++p_;
                }
                if (!Value()) return false;
                Blank();
                if (Peek() == close) return ++p_, true;
                if (Peek() != ',') return false;
                ++p_;
            }
        }
        if (c == '"') return String();
        if (c == 't') return Literal("true");
        if (c == 'f') return Literal("false");
        if (c == 'n') return Literal("null");
        return Number();
    }

    const QByteArray& s_;
    qsizetype p_ = 0;
};

TEST(EphemQuery, CheckersOfTheTests) {
    // The two checkers below judge the tool's output: make sure they can say no.
    EXPECT_TRUE(IsUtf8("a\xC3\xA9\xE4\xBB\x8F\xF0\x9F\x98\x80"));
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF8\x88\x80\x80\x80", "\xFF"}) {
        EXPECT_FALSE(IsUtf8(bad)) << bad;
    }
    EXPECT_TRUE(JsonSyntax::Valid(R"({"a":[1,-2.5e3,true,null,{}],"b":"\u00e9\n"})"));
    for (const char* bad : {"{", R"({"a":1,})", R"({"a" 1})", "[01]", "\"a\tb\"", R"("\x")", "[1] 2", "nul"}) {
        EXPECT_FALSE(JsonSyntax::Valid(bad)) << bad;
    }
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
    for (const char* bad : {"", "at,,day_label", "at,nothing", "sun_ra ", "at,at,at", "dawn,at,dawn"}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(SelectEphemFields(bad))) << bad;
    }
}

TEST(EphemQuery, TextHelpers) {
    EXPECT_EQ(LocalDateTimeText(test::Ole(2024, 12, 31, 23, 59, 59.6)), "2025-01-01T00:00:00");
    EXPECT_EQ(LocalDateTimeText(test::Ole(1901, 3, 4, 5, 6, 7.2)), "1901-03-04T05:06:07");
    EXPECT_EQ(JsonString("a\"b\\c\n\x01仏"), "\"a\\\"b\\\\c\\n\\u0001仏\"");
}

// Each maximal ill-formed part becomes one U+FFFD; well-formed text passes unchanged.
TEST(EphemQuery, RepairsUtf8) {
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(RepairUtf8("仏滅 \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"), "仏滅 \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF");
    EXPECT_EQ(RepairUtf8("a\x80" "b"), "a" + r + "b");
    EXPECT_EQ(RepairUtf8("\xE4\xBB"), r);              // cut short
    EXPECT_EQ(RepairUtf8("\xE4\xBBx"), r + "x");
    EXPECT_EQ(RepairUtf8("\xC0\xAF"), r + r);          // overlong '/'
    EXPECT_EQ(RepairUtf8("\xE0\x80\xAF"), r + r + r);
    EXPECT_EQ(RepairUtf8("\xED\xA0\x80"), r + r + r);  // a surrogate
    EXPECT_EQ(RepairUtf8("\xF4\x90\x80\x80"), r + r + r + r);
    EXPECT_EQ(RepairUtf8("\xFE\xFF"), r + r);
    EXPECT_EQ(JsonString("\xFF\"\x01"), "\"" + r + "\\\"\\u0001\"");
}

// The real program: one query from its arguments, many from standard input, errors, --help.
TEST(EphemTool, RunsAsAProgram) {
    const QString program = ToolPath();
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

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun RunTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(ToolPath(), args);
    EXPECT_TRUE(p.waitForStarted(10000));
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

TEST(EphemTool, VersionAndOptionsAnywhere) {
    ToolRun r = RunTool({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "vireo-ephem " VIREO_VERSION "\n");
    EXPECT_TRUE(QByteArray(VIREO_VERSION).contains('.'));
    const QByteArray expected = "{\"at\":\"2024-01-01T00:00:00\",\"lunisolar_day\":20}\n";
    for (const QStringList& args : {
             QStringList{"35", "139", "0", "9", "2024-01-01T00:00:00", "--fields", "at,lunisolar_day"},
             QStringList{"35", "139", "--fields=at,lunisolar_day", "0", "9", "2024-01-01T00:00:00"},
             QStringList{"--fields", "at,lunisolar_day", "--", "35", "139", "0", "9", "2024-01-01T00:00:00"}}) {
        r = RunTool(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, expected) << args.join(' ').toStdString();
    }
    // A negative number is a field of the query, not an option.
    r = RunTool({"-33.87", "-.5", "0", "-3", "2024-01-01T00:00:00", "--fields", "at"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "{\"at\":\"2024-01-01T00:00:00\"}\n");
}

// A usage error is told apart from a bad data line: exit 64, a word on stderr, no answers.
TEST(EphemTool, UsageErrorsExit64) {
    struct Case { QStringList args; const char* word; };
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"35", "139", "0", "9", "2024-01-01T00:00:00", "-x"}, "-x"},
        {{"--fields"}, "--fields"},
        {{"--fields=sun_colour", "35", "139", "0", "9", "2024-01-01T00:00:00"}, "sun_colour"},
        {{"--fields", "at,at,at"}, "more than once"},
        {{"--fields", "at", "--fields", "dawn"}, "more than once"},
        {{"--fields="}, "field"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.args, "35 139 0 9 2024-01-01T00:00:00\n");
        EXPECT_EQ(r.exitCode, 64) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(c.word)) << r.err.toStdString();
    }
    const ToolRun help = RunTool({"--help"});
    for (const char* word : {"64", "74", "--version", "U+FFFD"}) EXPECT_TRUE(help.out.contains(word)) << word;
}

// Lines of random bytes (and queries with random bytes in them) never give anything but
// UTF-8 JSON, one object per line, and well-formed text is echoed as it came.
TEST(EphemTool, RandomBytesGiveValidJson) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255), length(1, 60), kind(0, 3);
    QByteArray input;
    QList<QByteArray> lines;
    while (lines.size() < 3000) {
        QByteArray line;
        const int k = kind(rng);
        if (k == 3) line = "35 139 0 9 2024-01-01T00:00:00 ";
        for (int i = length(rng); i > 0; --i) {
            const int b = byte(rng);
            if (b != '\n') line += static_cast<char>(k == 2 ? 0x80 | (b & 0x3F) : b);  // 2: continuation bytes only
        }
        if (k == 1) line += "仏滅\x01\"\\";
        if (line.trimmed().isEmpty() || (line.endsWith('\r') && line.chopped(1).trimmed().isEmpty())) continue;
        lines.append(line);
        input += line + '\n';
    }
    const ToolRun r = RunTool({}, input);
    EXPECT_EQ(r.exitCode, 1);
    const QList<QByteArray> out = r.out.split('\n');
    ASSERT_EQ(out.size(), lines.size() + 1);  // the last newline leaves an empty piece
    EXPECT_TRUE(out.back().isEmpty());
    int echoedExactly = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(IsUtf8(out[i])) << i << ": " << out[i].toHex().toStdString();
        ASSERT_TRUE(JsonSyntax::Valid(out[i])) << i << ": " << out[i].toStdString();
        const QJsonObject o = Parse(out[i].toStdString());
        ASSERT_TRUE(o.contains("error")) << out[i].toStdString();
        EXPECT_EQ(o["line"].toInt(), i + 1);
        QByteArray asSent = lines[i];
        if (asSent.endsWith('\r')) asSent.chop(1);
        if (IsUtf8(asSent)) {
            EXPECT_EQ(o["input"].toString().toUtf8(), asSent);
            ++echoedExactly;
        }
    }
    EXPECT_GT(echoedExactly, 10);  // the well-formed lines were checked too
}

// Output that cannot be written (a full device, a closed descriptor, a reader that has gone)
// is an error with a message, never a silent success.
// Queries answered in large blocks (on two threads) come out in their order, each answered
// as when a script asks them one at a time and waits for each answer.
TEST(EphemTool, BlocksAnswerAsOneAtATime) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> year(1901, 2099), day(0, 364), second(0, 86399);
    QList<QByteArray> queries;
    for (int i = 0; i < 300; ++i) {
        if (i == 150) queries.push_back("35 139 0 9 2024-02-30T00:00:00");  // refused
        const QDate d = QDate(year(random), 1, 1).addDays(day(random));
        const QTime t = QTime(0, 0).addSecs(second(random));
        queries.push_back(QByteArray("35.6544 139.7447 0 9 ") +
                          QDateTime(d, t).toString("yyyy-MM-ddTHH:mm:ss").toLatin1());
    }
    const ToolRun block = RunTool({}, queries.join('\n') + '\n');
    EXPECT_EQ(block.exitCode, 1);

    QProcess p;
    p.start(ToolPath(), {});
    ASSERT_TRUE(p.waitForStarted(10000));
    QByteArray oneByOne;
    for (const QByteArray& q : queries) {
        p.write(q + '\n');
        while (!p.canReadLine()) ASSERT_TRUE(p.waitForReadyRead(30000)) << "no answer to " << q.toStdString();
        oneByOne += p.readLine();
    }
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);

    const QList<QByteArray> answers = block.out.trimmed().split('\n');
    ASSERT_EQ(answers.size(), queries.size());
    EXPECT_EQ(Parse(answers[150].toStdString())["line"].toInt(), 151);
    for (int i = 0; i < answers.size(); ++i) {
        if (i == 150) continue;
        EXPECT_EQ(Parse(answers[i].toStdString())["at"].toString().toLatin1(), queries[i].split(' ').last()) << i;
    }
    EXPECT_EQ(block.out, oneByOne);
}

TEST(EphemTool, FailedWritesExitNonZero) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray program = ToolPath().toLocal8Bit();
    const QByteArray errPath = (dir.path() + "/stderr").toLocal8Bit();
    // stdout: "full" /dev/full, "closed" no descriptor, "pipe" a pipe whose reader is closed.
    auto run = [&](const char* how, const std::vector<const char*>& args) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int fds[2] = {-1, -1};
        if (std::strcmp(how, "full") == 0) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        } else if (std::strcmp(how, "closed") == 0) {
            posix_spawn_file_actions_addclose(&actions, 1);
        } else {
            EXPECT_EQ(pipe(fds), 0);
            close(fds[0]);  // nobody will read
            posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
            posix_spawn_file_actions_addclose(&actions, fds[1]);
        }
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> argv{const_cast<char*>(program.constData())};
        for (const char* a : args) argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        // The tool must guard itself against SIGPIPE: start it with the default action even
        // where this process ignores the signal.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), environ), 0);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (fds[1] >= 0) close(fds[1]);
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        QFile err(QString::fromLocal8Bit(errPath));
        EXPECT_TRUE(err.open(QIODevice::ReadOnly));
        return std::make_pair(status, err.readAll());
    };
    for (const char* how : {"full", "closed", "pipe"}) {
        for (const auto& args : {std::vector<const char*>{"35", "139", "0", "9", "2024-01-01T00:00:00"},
                                 std::vector<const char*>{"--version"}}) {
            const auto [status, err] = run(how, args);
            ASSERT_TRUE(WIFEXITED(status)) << how << " ended by signal " << WTERMSIG(status);
            EXPECT_EQ(WEXITSTATUS(status), 74) << how;
            EXPECT_TRUE(err.contains("cannot write")) << how << ": " << err.toStdString();
        }
    }
}

}  // namespace
}  // namespace vireo
