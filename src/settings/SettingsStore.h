#pragma once
// The settings store: the program's own settings, named by company, product, section and key,
// and (with AppKeyMode off) the entry that starts the program at log-on.
//
// Create one per batch of reads or writes and release it at once; every write reaches the
// file when the instance is released (or at Sync()). Own settings live in
// QSettings(company, product): an INI file under $XDG_CONFIG_HOME here, the registry on
// Windows. Writes are atomic (temporary file and rename) and merged with what other
// instances wrote meanwhile, so instances open side by side keep each other's keys.

#include <QVariant>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class QSettings;
class QString;

namespace vireo {

// A failed store call; number() is the run-time error number the callers test.
class SettingsError : public std::runtime_error {
public:
    enum : int {
        kInvalidArgument = 5,      // a name or value the store cannot take
        kSlotOutOfRange = 9,       // an alarm slot outside 0..9
        kFileAccess = 75,          // the settings file or an entry could not be written or removed
        kStartupEntryWrite = 335,  // the start-up entry could not be written below RootKey
    };

    SettingsError(int number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

// Registry roots, as the start-up registration keeps them in "hKeyStartUp".
inline constexpr std::int32_t kHKeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kHKeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();  // writes pending changes; failures there can only be logged, see Sync()
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    void SetCompany(std::string_view company);
    void SetProduct(std::string_view product);
    // True (the initial mode): own settings. False: the start-up entry, section = the Run
    // key path (string resource 1001), key = the entry's name, below RootKey.
    void SetAppKeyMode(bool appKeyMode);
    void SetRootKey(std::int32_t rootKey);

    // The stored value, or defaultValue when there is none. Values read back from the file
    // come as text; the typed readers of SettingsTable.h convert them.
    QVariant GetValue(std::string_view section, std::string_view key,
                      const QVariant& defaultValue = QVariant());
    void SetValue(std::string_view section, std::string_view key, const QVariant& value);
    void DeleteValue(std::string_view section, std::string_view key);

    // Writes pending changes now; throws SettingsError(kFileAccess) when they cannot be written.
    void Sync();

    // Where the own settings live (for diagnostics and tests).
    std::string FileName();

private:
    QSettings& Own();
    void CheckRunEntryAddress(std::string_view section, std::string_view key) const;
    void DropOwn();

    std::string company_;
    std::string product_;
    bool appKeyMode_ = true;
    std::int32_t rootKey_ = 0;
    std::unique_ptr<QSettings> settings_;
};

// A writer killed between creating the settings file's lock and writing its process number
// into it leaves a lock nobody can identify; Qt waits 30 s for such a lock to age. This
// removes it once it is older than any live writer's first step could take (with Qt's own
// interlock against two removers), waiting for that age when the lock is younger, so the
// next write waits at most 2 s instead of 30. Locks naming a process are left to Qt, which
// checks whether that process still runs. True if removed.
bool RemoveAbandonedLock(const QString& settingsFile);

// The own settings' file of a company's product, found without opening it.
QString OwnFileName(const QString& company, const QString& product);
// A FIFO, folder, device or dangling link where the settings file belongs would hang or fail
// every start: it is renamed aside (".damaged-<time>") so that a new file can take its place.
// True if something was moved; throws SettingsError(kFileAccess) if it cannot be.
bool KeepAsideIfNoFile(const QString& path);

}  // namespace vireo
