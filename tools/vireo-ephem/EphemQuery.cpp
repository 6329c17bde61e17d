#include "EphemQuery.h"

#include <erfa.h>
#include <erfam.h>

#include <algorithm>
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

std::string RepairUtf8(const std::string& text) {
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // Continuation bytes needed and the range the first of them must lie in.
        int need = 0;
        unsigned lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) need = 1;
        else if (c == 0xE0) need = 2, lo = 0xA0;               // no overlong forms
        else if (c == 0xED) need = 2, hi = 0x9F;               // no surrogates
        else if (c >= 0xE1 && c <= 0xEF) need = 2;
        else if (c == 0xF0) need = 3, lo = 0x90;
        else if (c >= 0xF1 && c <= 0xF3) need = 3;
        else if (c == 0xF4) need = 3, hi = 0x8F;               // nothing past U+10FFFF
        std::size_t j = i + 1;
        bool whole = need > 0;
        for (int k = 0; k < need; ++k, ++j) {
            const auto b = j < n ? static_cast<unsigned char>(text[j]) : 0u;
            if (j >= n || b < lo || b > hi) {
                whole = false;
                break;
            }
            lo = 0x80;
            hi = 0xBF;
        }
        if (whole) out.append(text, i, j - i);
        else out += kReplacement;
        i = need > 0 ? j : i + 1;
    }
    return out;
}

std::string JsonString(const std::string& raw) {
    const std::string text = RepairUtf8(raw);
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

namespace {

std::string Moment(std::optional<double> t) { return t ? JsonString(LocalDateTimeText(*t)) : "null"; }

}  // namespace

const std::vector<EphemField>& EphemFields() {
    using C = EphemerisComponent;
    using Q = EphemQuery;
    static const std::vector<EphemField> fields = {
        {"at", [](C&, const Q& q) { return JsonString(q.at); }},
        {"sun_ra", [](C& e, const Q&) { return Number(e.RightAscension(), 8); }},
        {"sun_altitude", [](C& e, const Q&) { return Number(e.Altitude(), 8); }},
        {"rise_set_depression", [](C& e, const Q&) { return Number(e.RiseSetDepression(), 8); }},
        {"sidereal_greenwich", [](C& e, const Q&) { return Number(e.SiderealTime(1), 8); }},
        {"sidereal_local", [](C& e, const Q&) { return Number(e.SiderealTime(3), 8); }},
        {"dawn", [](C& e, const Q&) { return Moment(e.DawnOnDate()); }},
        {"dusk", [](C& e, const Q&) { return Moment(e.DuskOnDate()); }},
        {"solar_term_index", [](C& e, const Q&) { return std::to_string(e.SolarTermIndex()); }},
        {"solar_term_day", [](C& e, const Q&) { return std::to_string(e.SolarTermDay()); }},
        {"next_term",
         [](C& e, const Q& q) {
             return JsonString(LocalDateTimeText(
                 e.TimeAtSolarLongitude(15.0 * e.SolarTermIndex() - 30.0, q.localDate)));
         }},
        {"lunisolar_month", [](C& e, const Q&) { return std::to_string(e.LunisolarMonth()); }},
        {"lunisolar_day", [](C& e, const Q&) { return std::to_string(e.LunisolarDay()); }},
        {"leap_month", [](C& e, const Q&) { return std::string(e.LeapMonth() ? "true" : "false"); }},
        {"day_label", [](C& e, const Q&) { return JsonString(e.DayLabel()); }},
        {"scale_seconds",
         [](C& e, const Q& q) {
             std::string scales = "[";
             for (const double s : ScaleSecondsAt(e, q.localDate)) {
                 scales += (scales.size() > 1 ? "," : "") + Number(s, 6);
             }
             return scales + "]";
         }},
    };
    return fields;
}

std::variant<std::vector<const EphemField*>, std::string> SelectEphemFields(const std::string& names) {
    std::vector<const EphemField*> selected;
    std::size_t pos = 0;
    while (pos <= names.size()) {
        const std::size_t comma = std::min(names.find(',', pos), names.size());
        const std::string name = names.substr(pos, comma - pos);
        const EphemField* found = nullptr;
        for (const EphemField& f : EphemFields()) {
            if (name == f.name) found = &f;
        }
        if (!found) return "unknown field \"" + name + "\"";
        if (std::find(selected.begin(), selected.end(), found) != selected.end()) {
            return "field \"" + name + "\" named more than once";
        }
        selected.push_back(found);
        pos = comma + 1;
    }
    return selected;
}

std::string EphemAnswerJson(EphemerisComponent& e, const EphemQuery& q,
                            const std::vector<const EphemField*>* fields) {
    e.SetHoldUpdate(true);
    if (e.ObserverLatitude() != q.latitude) e.SetObserverLatitude(q.latitude);
    if (e.ObserverLongitude() != q.longitude) e.SetObserverLongitude(q.longitude);
    if (e.ObserverHeight() != q.height) e.SetObserverHeight(q.height);
    if (e.ObserverTimeZone() != q.timeZone) e.SetObserverTimeZone(q.timeZone);
    e.SetHoldUpdate(false);
    e.SetCurrentDate(q.localDate);
    JsonObject o;
    if (fields) {
        for (const EphemField* f : *fields) o.Add(f->name, f->value(e, q));
    } else {
        for (const EphemField& f : EphemFields()) o.Add(f.name, f.value(e, q));
    }
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
