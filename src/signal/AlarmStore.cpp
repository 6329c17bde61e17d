#include "signal/AlarmStore.h"

#include "settings/SettingsTable.h"

namespace vireo {

static_assert(kAlarmSlots == kAlarmCount);

std::int32_t SanitizedAlarmValue(std::int32_t stored) {
    const std::int32_t bits = stored & (kAlarmTimeMask | kAlarmWeekdayMask | kAlarmSoundMask);
    return AlarmValue(bits).Seconds() < 86400 ? bits : 0;
}

AlarmTables LoadAlarmTables(SettingsStore& store) {
    AlarmTables tables;
    for (int slot = 0; slot < kAlarmCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        tables.AlarmSetting[i] = SanitizedAlarmValue(Read(store, AlarmSettingKey(slot)));
        tables.AlarmFile[i] = Read(store, AlarmFileKey(slot));
    }
    return tables;
}

void SaveAlarmTables(SettingsStore& store, const AlarmTables& tables) {
    for (int slot = 0; slot < kAlarmCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        Write(store, AlarmSettingKey(slot), tables.AlarmSetting[i]);
        Write(store, AlarmFileKey(slot), tables.AlarmFile[i]);
    }
}

}  // namespace vireo
