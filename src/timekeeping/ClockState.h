#pragma once
// The clock window's record of settings and run-time values, kept for the life of the program.

#include <cstdint>
#include <limits>
#include <string>

namespace vireo {

// Temporal-hour period of the Tenpō scale: the dawn and dusk of a solar term's first day.
struct TemporalPeriod {
    std::int16_t TermIndex = 0;
    std::int32_t DawnSeconds = 0;   // seconds after local midnight
    std::int32_t DuskSeconds = 0;
    std::int32_t DayLength = 0;     // dawn to dusk, seconds
    std::int32_t NightLength = 0;   // dusk to the next dawn, seconds
    double NextChange = 0.0;        // OLE date-time of the next recomputation
    bool NightAdjusted = false;     // the noon adjustment before NextChange is made
    // OLE date-time from which the period holds: the dawn of the term's first day, or the
    // moment it was computed if that was earlier. A present moment before it (the system clock
    // was set back) means the period no longer applies.
    double Start = 0.0;
};

// A day number no real date has: nothing handled yet.
constexpr std::int32_t kNoDay = std::numeric_limits<std::int32_t>::min();

// Colours are red + 256 * green + 65536 * blue; a value with the top bit set names a system
// colour by its low byte. Kept signed, as the settings store holds them.
using OleColor = std::int32_t;

// ClockState::TimeSignalMode: the kind of hourly time signal, stored as these numbers.
enum TimeSignalKind : std::int32_t {
    kSignalNone = 0,
    kSignalChime = 1,        // a tune on the MIDI chime
    kSignalFourPips = 2,     // three short pips and a long one, MIDI
    kSignalStrikeCount = 3,  // the hour struck as a count, MIDI
    kSignalMusic = 4,        // the time signal's music file
};

// The kinds that sound on the MIDI output.
constexpr bool IsMidiSignal(std::int32_t kind) { return kind >= kSignalChime && kind <= kSignalStrikeCount; }

// ClockState::BackgroundMode: the colour scheme of the face, stored as these numbers.
enum ColorSchemeKind : std::int32_t {
    kSchemeSystem = 0,     // the system's window colours
    kSchemeDayNight = 1,   // follows the Sun
    kSchemeDesktop = 2,    // the desktop's colour
    kSchemeSeeThrough = 3, // colour-keyed, see-through face in a round window
    kSchemeUser = 4,       // the user's two colours
};

// ClockState::AlarmIndex while no alarm sounds.
inline constexpr std::int16_t kNoAlarm = -1;

struct ClockState {
    // Public fields (the dialogs read and write them).
    bool ShowInTaskTray = false;
    bool CloseButtonMinimized = false;
    std::int32_t TimeSignalMode = kSignalFourPips;  // a TimeSignalKind
    std::string TimeSignalFile;           // UTF-8 path
    std::int32_t MusicPlayMode = 0;       // 0 nobody, 1 time signal, 2 alarm, 3 user
    std::int16_t AlarmIndex = kNoAlarm;   // alarm now sounding
    std::int32_t BackgroundMode = kSchemeDayNight;  // a ColorSchemeKind
    OleColor UserBackColor = 0xFFFFFF;
    OleColor UserForeColor = 0;

    // Private fields.
    std::int32_t ClockMode = 0;           // scale on show 0..7
    TemporalPeriod Period;
    std::int32_t DigitalMode = 1;         // 1 the date line, anything else the time text
    double HorizonCorrection = 0.0;       // degrees

    // Values kept between calls, all 0 at start.
    std::int32_t LastTickSecond = 0;
    std::int32_t LastScaleSecond = 0;
    // Local day (days since 1899-12-30) of those seconds. A second counts as new when either
    // differs, so a clock set back or forward by whole days, and the very first tick even at
    // 00:00:00, are still handled.
    std::int32_t LastTickDay = kNoDay;
    std::int32_t LastScaleDay = kNoDay;
    std::int16_t SignalStepLimit = 0;
    std::int16_t AlarmChimeStep = 0;
};

}  // namespace vireo
