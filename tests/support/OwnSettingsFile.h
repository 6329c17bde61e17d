#pragma once
// The program's own settings file reached past the program, as a user's hand, an earlier
// version or a crash would have left it.

#include <QSettings>
#include <QString>
#include <QVariant>

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

namespace vireo::test {

inline void PutOwnSetting(const char* key, const QVariant& value) {
    SettingsStore store;
    OpenOwnSettings(store);
    store.SetValue("", key, value);
}

inline QString OwnSettingsFileName() {
    SettingsStore store;
    OpenOwnSettings(store);
    return QString::fromStdString(store.FileName());
}

inline QVariant StoredOwnSetting(const char* key) {
    return QSettings(OwnSettingsFileName(), QSettings::IniFormat).value(QString::fromLatin1(key));
}

}  // namespace vireo::test
