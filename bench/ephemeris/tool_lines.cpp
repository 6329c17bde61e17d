// Random query lines for vireo-ephem: tool_lines COUNT [SEED] [--observers].
// Dates and times of day are uniform over 1901-01-01 to 2099-12-31; the observer is Tokyo,
// or with --observers a random place between 60 degrees south and north in a random zone.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : kDays[m - 1];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tool_lines COUNT [SEED] [--observers]\n");
        return 64;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    unsigned seed = 1;
    bool observers = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--observers") == 0) observers = true;
        else seed = static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10));
    }
    std::mt19937_64 rng(seed);
    // Day of the 1901-2099 span (72,684 days), then second of the day.
    std::uniform_int_distribution<int> day(0, 72683), second(0, 86399);
    std::uniform_real_distribution<double> lat(-60.0, 60.0), lon(-180.0, 180.0);
    std::uniform_int_distribution<int> zone(-12, 14);
    for (long n = 0; n < count; ++n) {
        int d = day(rng), y = 1901, m = 1;
        while (d >= (Leap(y) ? 366 : 365)) d -= Leap(y++) ? 366 : 365;
        while (d >= DaysIn(y, m)) d -= DaysIn(y, m++);
        const int s = second(rng);
        if (observers) {
            std::printf("%.4f %.4f 0 %d ", lat(rng), lon(rng), zone(rng));
        } else {
            std::printf("35.6544 139.7447 0 9 ");
        }
        std::printf("%04d-%02d-%02dT%02d:%02d:%02d\n", y, m, d + 1, s / 3600, s / 60 % 60, s % 60);
    }
    return 0;
}
