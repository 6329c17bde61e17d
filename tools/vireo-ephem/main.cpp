// vireo-ephem: answers ephemeris queries for scripts and for checking, one JSON object a line.

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "EphemQuery.h"
#include "ephemeris/EphemerisComponent.h"

namespace {

const char* const kHelp = R"(Usage: vireo-ephem [--fields LIST] [LAT LON HEIGHT TZ YYYY-MM-DDTHH:MM:SS]
       vireo-ephem [--fields LIST] < queries

Answers ephemeris queries. Each query is one line of five fields separated by blanks:
  LAT      latitude in degrees, north positive (-90..90)
  LON      longitude in degrees, east positive (-180..180)
  HEIGHT   height in metres (0..10000)
  TZ       time zone in hours east of UTC (-12..14), e.g. 9 or 5.5
  YYYY-MM-DDTHH:MM:SS   local date-time in that zone (years 1000..2999)
With arguments, the one query they form is answered; otherwise every line of standard
input is (blank lines are skipped). Each answer is one JSON object on its own line:
  at                   the date-time asked
  sun_ra               apparent right ascension of the Sun, degrees [0, 360)
  sun_altitude         geocentric altitude of the Sun's centre, no refraction, degrees
  rise_set_depression  semi-diameter plus 35'08" refraction, degrees
  sidereal_greenwich   Greenwich apparent sidereal time, degrees
  sidereal_local       local apparent sidereal time, degrees
  dawn, dusk           local date-time (to the second) when the Sun's centre crosses
                       -7d21'40" rising / setting on that local date; null if it does not
  solar_term_index     k: the next solar term is at longitude 15k - 30
  solar_term_day       day of the current solar term, 1 on the date it begins
  next_term            local date-time of the next solar term
  lunisolar_month, lunisolar_day, leap_month, day_label
                       the Japanese lunisolar date (on JST) of the local date and its 六曜
  scale_seconds        the clock's eight scales 0..7 at that moment, seconds of day [0, 86400)
--fields LIST writes only the comma-separated fields named (in that order) and computes only
them, e.g. --fields at,lunisolar_month,lunisolar_day,leap_month,day_label for fast calendar
look-ups.
A malformed line gets {"error": ..., "line": N, "input": ...} and the rest go on; the exit
status is 1 if any line failed, 0 otherwise.
)";

const std::vector<const vireo::EphemField*>* fields = nullptr;

bool Answer(vireo::EphemerisComponent& component, const std::string& line, long number) {
    auto parsed = vireo::ParseEphemQuery(line);
    if (auto* message = std::get_if<std::string>(&parsed)) {
        std::cout << vireo::EphemErrorJson(*message, number, line) << '\n';
        return false;
    }
    try {
        std::cout << vireo::EphemAnswerJson(component, std::get<vireo::EphemQuery>(parsed), fields) << '\n';
        return true;
    } catch (const vireo::EphemerisError& e) {
        std::cout << vireo::EphemErrorJson(e.what(), number, line) << '\n';
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kHelp;
            return 0;
        }
    }
    int first = 1;
    std::vector<const vireo::EphemField*> selected;
    if (argc > 1 && std::strncmp(argv[1], "--fields", 8) == 0) {
        std::string list;
        if (std::strncmp(argv[1], "--fields=", 9) == 0) {
            list = argv[1] + 9;
            first = 2;
        } else if (std::strcmp(argv[1], "--fields") == 0 && argc > 2) {
            list = argv[2];
            first = 3;
        } else {
            std::cerr << "vireo-ephem: --fields needs a list of fields; see --help\n";
            return 2;
        }
        auto result = vireo::SelectEphemFields(list);
        if (auto* message = std::get_if<std::string>(&result)) {
            std::cerr << "vireo-ephem: " << *message << "; see --help\n";
            return 2;
        }
        selected = std::get<std::vector<const vireo::EphemField*>>(result);
        fields = &selected;
    }
    vireo::EphemerisComponent component;
    if (argc > first) {
        std::string line;
        for (int i = first; i < argc; ++i) line += (i > first ? " " : "") + std::string(argv[i]);
        return Answer(component, line, 1) ? 0 : 1;
    }
    bool ok = true;
    long number = 0;
    for (std::string line; std::getline(std::cin, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        ok = Answer(component, line, number) && ok;
        std::cout.flush();
    }
    return ok ? 0 : 1;
}
