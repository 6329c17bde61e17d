#pragma once
// The alarm dialog's working copy of the two alarm tables and its editor of one line, without
// widgets: the dialog shows what is here and hands every edit it takes to it.

#include "timekeeping/AlarmValue.h"

#include <array>
#include <cstdint>
#include <string>

namespace vireo {

// The sound kind as the list and the editor show it: every kind that is neither off nor the
// chime is music, as the alarms sound it.
constexpr int ListedSoundKind(const AlarmValue& value) {
    return value.IsMusic() ? kAlarmSoundMusic : value.SoundKind();
}

class AlarmEditor {
public:
    // Takes a copy of the tables; no line is in the editor yet.
    void Load(const AlarmTables& tables);

    // The line in the editor, -1 before the first Select.
    int Line() const { return line_; }
    // Keeps the editor's edits in its line, then takes line into the editor.
    void Select(int line);

    // The editor. Sound kinds 0..2 as listed; weekdays Sunday = 1 .. Saturday = 7.
    int Hour() const { return hour_; }
    int Minute() const { return minute_; }
    int SoundKind() const { return sound_; }
    AlarmRepeat Repeat() const { return repeat_; }
    std::int32_t WeekdayMask() const { return weekdays_; }
    bool HasWeekday(int weekday) const { return (weekdays_ & WeekdayBit(weekday)) != 0; }
    void SetHour(int hour) { hour_ = hour; }
    void SetMinute(int minute) { minute_ = minute; }
    void SetSoundKind(int kind) { sound_ = kind; }
    // Every day marks all seven days and once none; back on the chosen weekdays the marks are
    // the days the line holds, not the last ones made.
    void SetRepeat(AlarmRepeat repeat);
    void SetWeekday(int weekday, bool on);
    // The editor's alarm, packed.
    AlarmValue Edited() const { return AlarmValue::Make(hour_, minute_, weekdays_, sound_); }

    // An alarm that is off has no repeat rule; the days are chosen only for chosen weekdays;
    // only music has a file to preview and choose.
    bool RepeatEditable() const { return sound_ != kAlarmSoundOff; }
    bool WeekdaysEditable() const { return RepeatEditable() && repeat_ == AlarmRepeat::Weekdays; }
    bool MusicChosen() const { return sound_ == kAlarmSoundMusic; }

    // A line's working value: the editor's line holds its edits only once another line (or
    // the same again) is selected.
    AlarmValue Value(int line) const;
    // A line as the list shows it: the editor's line with its edits.
    AlarmValue Shown(int line) const;

    // The working music files; the editor line's, empty before the first Select.
    const std::array<std::string, kAlarmCount>& Files() const { return files_; }
    const std::string& File() const;
    void SetFile(const std::string& file);

    // OK. The first edited line that plays music with neither a working nor a stored file
    // (it would have nothing to play when the alarm comes), or -1.
    int MusicWithoutFile(const AlarmTables& tables) const;
    // Writes the edited lines; the others keep what the tables hold now, so that an alarm
    // that switched itself off meanwhile stays off. An empty working file never clears a
    // stored one.
    void WriteTo(AlarmTables& tables) const;

private:
    bool Edited(int line) const { return values_[line] != loaded_[line]; }

    std::array<std::int32_t, kAlarmCount> values_{};
    std::array<std::int32_t, kAlarmCount> loaded_{};
    std::array<std::string, kAlarmCount> files_;
    int line_ = -1;
    int hour_ = 0;
    int minute_ = 0;
    int sound_ = kAlarmSoundOff;
    AlarmRepeat repeat_ = AlarmRepeat::Once;
    std::int32_t weekdays_ = 0;
};

}  // namespace vireo
