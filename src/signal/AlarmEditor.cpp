#include "signal/AlarmEditor.h"

#include <algorithm>

namespace vireo {

namespace {

bool InTable(int line) { return line >= 0 && line < kAlarmCount; }

}  // namespace

void AlarmEditor::Load(const AlarmTables& tables) {
    values_ = tables.AlarmSetting;
    loaded_ = tables.AlarmSetting;
    files_ = tables.AlarmFile;
    line_ = -1;
}

void AlarmEditor::Select(int line) {
    if (!InTable(line)) return;
    if (line_ >= 0) values_[line_] = Edited().Packed();
    line_ = line;
    const AlarmValue value(values_[line]);
    // The hour bar stops at 23, whatever a hand-edited value holds.
    hour_ = std::min(value.Hour(), 23);
    minute_ = value.Minute();
    sound_ = ListedSoundKind(value);
    repeat_ = value.Repeat();
    weekdays_ = value.WeekdayMask();
}

void AlarmEditor::SetRepeat(AlarmRepeat repeat) {
    repeat_ = repeat;
    switch (repeat) {
    case AlarmRepeat::Once:
        weekdays_ = 0;
        break;
    case AlarmRepeat::Weekdays:
        weekdays_ = Value(std::max(line_, 0)).WeekdayMask();
        break;
    case AlarmRepeat::EveryDay:
        weekdays_ = kAlarmWeekdayMask;
        break;
    }
}

void AlarmEditor::SetWeekday(int weekday, bool on) {
    weekdays_ = on ? (weekdays_ | WeekdayBit(weekday)) : (weekdays_ & ~WeekdayBit(weekday));
}

AlarmValue AlarmEditor::Value(int line) const { return InTable(line) ? AlarmValue(values_[line]) : AlarmValue(); }

AlarmValue AlarmEditor::Shown(int line) const { return line == line_ && line_ >= 0 ? Edited() : Value(line); }

const std::string& AlarmEditor::File() const {
    static const std::string none;
    return line_ >= 0 ? files_[line_] : none;
}

void AlarmEditor::SetFile(const std::string& file) {
    if (line_ >= 0) files_[line_] = file;
}

int AlarmEditor::MusicWithoutFile(const AlarmTables& tables) const {
    for (int i = 0; i < kAlarmCount; ++i) {
        if (!Edited(i) || !Value(i).IsMusic()) continue;
        if (files_[i].empty() && tables.AlarmFile[i].empty()) return i;
    }
    return -1;
}

void AlarmEditor::WriteTo(AlarmTables& tables) const {
    for (int i = 0; i < kAlarmCount; ++i) {
        if (Edited(i)) tables.AlarmSetting[i] = values_[i];
        if (!files_[i].empty()) tables.AlarmFile[i] = files_[i];
    }
}

}  // namespace vireo
