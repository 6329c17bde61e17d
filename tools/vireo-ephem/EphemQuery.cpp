#include "EphemQuery.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/ObserverInput.h"
#include "timekeeping/TimeScales.h"

namespace vireo {
namespace {

constexpr double kOleEpochMjd = 15018.0;

std::string Number(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// Builds one JSON object with its fields in the order added.
class JsonObject {
public:
    void Add(const char* name, const std::string& rawValue) {
        text_ += text_.empty() ? "{" : ",";
        text_ += JsonString(name);
        text_ += ':';
        text_ += rawValue;
    }
    std::string Close() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

bool Digits(const std::string& s, std::size_t pos, std::size_t n, int* out) {
    int v = 0;
    for (std::size_t i = pos; i < pos + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    *out = v;
    return true;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string LocalDateTimeText(double oleDate) {
    const double seconds = std::nearbyint(oleDate * 86400.0);
    const double day = std::floor(seconds / 86400.0);
    const long s = std::lround(seconds - day * 86400.0);
    int y = 0, m = 0, d = 0;
    double f = 0.0;
    eraJd2cal(ERFA_DJM0, day + kOleEpochMjd, &y, &m, &d, &f);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02ld:%02ld:%02ld", y, m, d, s / 3600, s / 60 % 60, s % 60);
    return buf;
}

std::variant<EphemQuery, std::string> ParseEphemQuery(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() != 5) {
        return std::string("expected 5 fields: LAT LON HEIGHT TZ YYYY-MM-DDTHH:MM:SS, got ") +
               std::to_string(words.size());
    }
    ObserverValues v;
    if (auto error = CheckObserverInput(words[0], words[1], words[2], words[3], &v)) {
        static const char* const names[] = {"LAT", "LON", "HEIGHT", "TZ"};
        static const char* const ranges[] = {"-90..90 degrees", "-180..180 degrees",
                                             "0..10000 metres", "-12..14 hours"};
        const int i = static_cast<int>(error->field);
        return std::string(names[i]) + " must be a decimal number in " + ranges[i] + ", got \"" +
               words[static_cast<std::size_t>(i)] + "\"";
    }
    const std::string& t = words[4];
    int y = 0, mo = 0, d = 0, hh = 0, mi = 0, ss = 0;
    const bool shape = t.size() == 19 && t[4] == '-' && t[7] == '-' && t[10] == 'T' && t[13] == ':' &&
                       t[16] == ':' && Digits(t, 0, 4, &y) && Digits(t, 5, 2, &mo) &&
                       Digits(t, 8, 2, &d) && Digits(t, 11, 2, &hh) && Digits(t, 14, 2, &mi) &&
                       Digits(t, 17, 2, &ss);
    if (!shape) return "date-time must be YYYY-MM-DDTHH:MM:SS, got \"" + t + "\"";
    double djm0 = 0.0, djm = 0.0;
    if (y < 1000 || y > 2999 || eraCal2jd(y, mo, d, &djm0, &djm) != 0 || hh > 23 || mi > 59 || ss > 59) {
        return "no such date-time (years 1000 to 2999): \"" + t + "\"";
    }
    EphemQuery q;
    q.latitude = v.latitude;
    q.longitude = v.longitude;
    q.height = v.height;
    q.timeZone = v.timeZone;
    q.localDate = djm - kOleEpochMjd + (hh * 3600 + mi * 60 + ss) / 86400.0;
    q.at = t;
    return q;
}

std::string EphemAnswerJson(EphemerisComponent& e, const EphemQuery& q) {
    e.SetHoldUpdate(true);
    if (e.ObserverLatitude() != q.latitude) e.SetObserverLatitude(q.latitude);
    if (e.ObserverLongitude() != q.longitude) e.SetObserverLongitude(q.longitude);
    if (e.ObserverHeight() != q.height) e.SetObserverHeight(q.height);
    if (e.ObserverTimeZone() != q.timeZone) e.SetObserverTimeZone(q.timeZone);
    e.SetHoldUpdate(false);
    e.SetCurrentDate(q.localDate);

    auto moment = [](std::optional<double> t) { return t ? JsonString(LocalDateTimeText(*t)) : "null"; };
    const int k = e.SolarTermIndex();
    JsonObject o;
    o.Add("at", JsonString(q.at));
    o.Add("sun_ra", Number(e.RightAscension(), 8));
    o.Add("sun_altitude", Number(e.Altitude(), 8));
    o.Add("rise_set_depression", Number(e.RiseSetDepression(), 8));
    o.Add("sidereal_greenwich", Number(e.SiderealTime(1), 8));
    o.Add("sidereal_local", Number(e.SiderealTime(3), 8));
    o.Add("dawn", moment(e.DawnOnDate()));
    o.Add("dusk", moment(e.DuskOnDate()));
    o.Add("solar_term_index", std::to_string(k));
    o.Add("solar_term_day", std::to_string(e.SolarTermDay()));
    o.Add("next_term", JsonString(LocalDateTimeText(e.TimeAtSolarLongitude(15.0 * k - 30.0, q.localDate))));
    o.Add("lunisolar_month", std::to_string(e.LunisolarMonth()));
    o.Add("lunisolar_day", std::to_string(e.LunisolarDay()));
    o.Add("leap_month", e.LeapMonth() ? "true" : "false");
    o.Add("day_label", JsonString(e.DayLabel()));
    std::string scales = "[";
    for (const double s : ScaleSecondsAt(e, q.localDate)) scales += (scales.size() > 1 ? "," : "") + Number(s, 6);
    o.Add("scale_seconds", scales + "]");
    return o.Close();
}

std::string EphemErrorJson(const std::string& message, long lineNumber, const std::string& input) {
    JsonObject o;
    o.Add("error", JsonString(message));
    o.Add("line", std::to_string(lineNumber));
    o.Add("input", JsonString(input));
    return o.Close();
}

}  // namespace vireo
