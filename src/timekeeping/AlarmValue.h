#pragma once
// One alarm packed into 32 bits, and the program's two alarm tables.
//
//   bits  0-16  0x1FFFF    time of day in seconds on the clock's scale (hour*3600 + minute*60)
//   bits 17-23  0xFE0000   weekday mask, bit 17 Sunday .. bit 23 Saturday
//   bits 24-25  0x3000000  sound: 0 off, 1 chime, 2 music (any other non-zero kind is music)
//   bits 26-31             zero
//
// The repeat rule follows from the mask: none set = once, all seven = every day, else the
// chosen weekdays. The value 0 is an alarm that is off, at 00:00, once.

#include <array>
#include <cstdint>
#include <string>

namespace vireo {

inline constexpr int kAlarmCount = 10;

inline constexpr std::int32_t kAlarmTimeMask = 0x1FFFF;
inline constexpr std::int32_t kAlarmWeekdayMask = 0xFE0000;
inline constexpr std::int32_t kAlarmSoundMask = 0x3000000;
inline constexpr std::int32_t kAlarmSoundUnit = 0x1000000;
inline constexpr std::int32_t kAlarmSundayBit = 0x20000;

inline constexpr int kAlarmSoundOff = 0;
inline constexpr int kAlarmSoundChime = 1;
inline constexpr int kAlarmSoundMusic = 2;

enum class AlarmRepeat { Once, Weekdays, EveryDay };

// Weekdays are counted Sunday = 1 .. Saturday = 7. The mask bit of one; 0 for a bad day.
constexpr std::int32_t WeekdayBit(int weekday) {
    return (weekday >= 1 && weekday <= 7) ? (kAlarmSundayBit << (weekday - 1)) : 0;
}

// The day after weekday (Saturday is followed by Sunday).
constexpr int NextWeekday(int weekday) { return weekday % 7 + 1; }

class AlarmValue {
public:
    constexpr AlarmValue() = default;
    constexpr explicit AlarmValue(std::int32_t packed) : packed_(packed) {}

    // hour 0..23, minute 0..59, mask of WeekdayBit values, sound kind 0..2.
    static constexpr AlarmValue Make(int hour, int minute, std::int32_t weekdayMask, int soundKind) {
        return AlarmValue(((hour * 3600 + minute * 60) & kAlarmTimeMask) | (weekdayMask & kAlarmWeekdayMask) |
                          ((soundKind * kAlarmSoundUnit) & kAlarmSoundMask));
    }

    constexpr std::int32_t Packed() const { return packed_; }
    constexpr std::int32_t Seconds() const { return packed_ & kAlarmTimeMask; }
    constexpr int Hour() const { return Seconds() / 3600; }
    constexpr int Minute() const { return Seconds() % 3600 / 60; }
    constexpr std::int32_t WeekdayMask() const { return packed_ & kAlarmWeekdayMask; }
    constexpr int SoundKind() const { return (packed_ & kAlarmSoundMask) / kAlarmSoundUnit; }
    constexpr bool IsOn() const { return SoundKind() != kAlarmSoundOff; }
    constexpr bool IsChime() const { return SoundKind() == kAlarmSoundChime; }
    // Every sound kind that is on and not the chime plays the alarm's music file.
    constexpr bool IsMusic() const { return IsOn() && !IsChime(); }

    constexpr AlarmRepeat Repeat() const {
        if (WeekdayMask() == 0) return AlarmRepeat::Once;
        if (WeekdayMask() == kAlarmWeekdayMask) return AlarmRepeat::EveryDay;
        return AlarmRepeat::Weekdays;
    }
    constexpr bool IsOnce() const { return WeekdayMask() == 0; }
    constexpr bool HasWeekday(int weekday) const { return (WeekdayMask() & WeekdayBit(weekday)) != 0; }
    // The day test: a once alarm passes on any day, the others on their weekdays.
    constexpr bool PassesDayTest(int weekday) const { return IsOnce() || HasWeekday(weekday); }

    constexpr AlarmValue WithSoundKind(int soundKind) const {
        return AlarmValue((packed_ & ~kAlarmSoundMask) | ((soundKind * kAlarmSoundUnit) & kAlarmSoundMask));
    }
    // Off, keeping time and mask: what a once alarm becomes after it has sounded.
    constexpr AlarmValue SwitchedOff() const { return WithSoundKind(kAlarmSoundOff); }
    constexpr AlarmValue WithWeekday(int weekday, bool on) const {
        return AlarmValue(on ? (packed_ | WeekdayBit(weekday)) : (packed_ & ~WeekdayBit(weekday)));
    }

    friend constexpr bool operator==(AlarmValue, AlarmValue) = default;

private:
    std::int32_t packed_ = 0;
};

// The ten alarms of the program, index 0..9: packed values and their music files (UTF-8
// full paths, empty when none was chosen).
struct AlarmTables {
    std::array<std::int32_t, kAlarmCount> AlarmSetting{};
    std::array<std::string, kAlarmCount> AlarmFile;
};

}  // namespace vireo
