#pragma once
// The alarm tables in the settings store: section "Alarm", keys "Setting0".."Setting9" (packed
// values, 32-bit integers, default 0) and "File0".."File9" (UTF-8 paths, default empty), read
// and written slot by slot in the order Setting0, File0, Setting1, File1 .. File9.
//
// Start-up loads them, shutdown saves them; nothing else touches these keys.

#include "timekeeping/AlarmValue.h"

#include <cstdint>

namespace vireo {

class SettingsStore;

// A stored value kept to the alarm's own bits; one whose time lies beyond the day (a
// hand-edited or damaged entry) reads as 0, an alarm that is off.
std::int32_t SanitizedAlarmValue(std::int32_t stored);

// Reads every slot; a missing or unreadable value reads as its default.
AlarmTables LoadAlarmTables(SettingsStore& store);
// Writes every slot. Store failures propagate (SettingsError), as for every other setting.
void SaveAlarmTables(SettingsStore& store, const AlarmTables& tables);

}  // namespace vireo
