#include "settings/SettingsStore.h"

#include "platform/Autostart.h"
#include "platform/ResourceStrings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QThread>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cctype>

namespace vireo {

namespace {

bool HasPathSeparator(std::string_view name) {
    return name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void CheckName(std::string_view what, std::string_view name) {
    if (name.empty() || HasPathSeparator(name))
        throw SettingsError(SettingsError::kInvalidArgument,
                            std::string(what) + " must be a non-empty name without '/' or '\\': '" +
                                std::string(name) + "'");
}

QString OwnKey(std::string_view section, std::string_view key) {
    CheckName("key", key);
    if (section.empty()) return ToQString(key);
    CheckName("section", section);
    return ToQString(section) + u'/' + ToQString(key);
}

// A live writer fills its lock within microseconds of creating it.
constexpr qint64 kAbandonedLockAgeMs = 2000;

bool NamesAProcess(const QString& lockPath) {
    QFile f(lockPath);
    if (!f.open(QIODevice::ReadOnly)) return true;  // gone or unreadable: not ours to judge
    bool ok = false;
    const qint64 pid = f.readLine(32).trimmed().toLongLong(&ok);
    return ok && pid > 0;
}

qint64 AgeMs(const QFileInfo& info) {
    return info.lastModified().msecsTo(QDateTime::currentDateTime());
}

bool LooksAbandoned(const QString& lockPath) {
    const QFileInfo info(lockPath);
    return info.exists() && AgeMs(info) > kAbandonedLockAgeMs && !NamesAProcess(lockPath);
}

// A lock that names no process yet is either being filled this instant or abandoned: wait
// until it is filled, gone, or old enough to tell (at most the abandoned age).
void AwaitUnnamedLock(const QString& lockPath) {
    for (;;) {
        const QFileInfo info(lockPath);
        if (!info.exists() || NamesAProcess(lockPath) || AgeMs(info) > kAbandonedLockAgeMs) return;
        QThread::msleep(20);
    }
}

void SyncOwn(QSettings& settings) {
    RemoveAbandonedLock(settings.fileName());
    settings.sync();
}

}  // namespace

QString OwnFileName(const QString& company, const QString& product) {
    // Where QSettings keeps a company's product, asked of a name that has no file, so that
    // nothing is opened: opening a FIFO in the file's place would wait for ever.
    const QString probe = product + QStringLiteral(".no-such-product");
    const QFileInfo probed(QSettings(QSettings::NativeFormat, QSettings::UserScope, company, probe).fileName());
    return probed.dir().filePath(product + QLatin1Char('.') + probed.suffix());
}

bool KeepAsideIfNoFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return false;
    if (info.isFile()) return false;  // a regular file, or a link to one
    // A FIFO, a folder, a device or a dangling link is no settings file: kept aside as it is,
    // for the user to look at, and a new file starts in its place.
    const QString aside =
        path + QStringLiteral(".damaged-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (QFile::rename(path, aside)) {
        qWarning("settings: %s is no regular file; kept aside as %s", qPrintable(path), qPrintable(aside));
        return true;
    }
    throw SettingsError(SettingsError::kFileAccess,
                        path.toStdString() + " is no regular file and could not be moved aside");
}

bool RemoveAbandonedLock(const QString& settingsFile) {
    const QString lockPath = settingsFile + QStringLiteral(".lock");
    AwaitUnnamedLock(lockPath);
    if (!LooksAbandoned(lockPath)) return false;
    // The same interlock QLockFile takes before it removes a stale lock, so a lock another
    // process has just created in its place is never removed.
    QLockFile rmlock(lockPath + QStringLiteral(".rmlock"));
    if (!rmlock.tryLock(0)) return false;
    return LooksAbandoned(lockPath) && QFile::remove(lockPath);
}

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore() {
    if (!settings_) return;
    SyncOwn(*settings_);
    if (settings_->status() == QSettings::AccessError)
        qWarning("settings: could not write %s", qPrintable(settings_->fileName()));
}

void SettingsStore::DropOwn() {
    if (!settings_) return;
    Sync();  // what was written under the old names still reaches its file
    settings_.reset();
}

void SettingsStore::SetCompany(std::string_view company) {
    if (company == company_) return;
    DropOwn();
    company_ = company;
}

void SettingsStore::SetProduct(std::string_view product) {
    if (product == product_) return;
    DropOwn();
    product_ = product;
}

void SettingsStore::SetAppKeyMode(bool appKeyMode) { appKeyMode_ = appKeyMode; }

void SettingsStore::SetRootKey(std::int32_t rootKey) { rootKey_ = rootKey; }

QSettings& SettingsStore::Own() {
    if (!settings_) {
        // The names become folder and file names; refuse any that would leave the config folder.
        CheckName("company", company_);
        CheckName("product", product_);
        if (company_ == "." || company_ == ".." || product_ == "." || product_ == "..")
            throw SettingsError(SettingsError::kInvalidArgument, "company or product is not a name");
        KeepAsideIfNoFile(OwnFileName(ToQString(company_), ToQString(product_)));
        settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                ToQString(company_), ToQString(product_));
    }
    return *settings_;
}

namespace {

AutostartScope ScopeOfRoot(std::int32_t rootKey) {
    if (rootKey == kHKeyLocalMachine) return AutostartScope::Machine;
    if (rootKey == kHKeyCurrentUser) return AutostartScope::User;
    throw SettingsError(SettingsError::kInvalidArgument,
                        "unknown root key " + std::to_string(rootKey) + " for the start-up entry");
}

}  // namespace

void SettingsStore::CheckRunEntryAddress(std::string_view section, std::string_view key) const {
    // Outside its own settings the store knows one place only: the start-up entry.
    if (!EqualsIgnoringCase(section, LoadResString(1001)))
        throw SettingsError(SettingsError::kInvalidArgument,
                            "only the start-up entry can be addressed below a root key, not '" +
                                std::string(section) + "'");
    if (!IsValidAutostartName(std::string(key)))
        throw SettingsError(SettingsError::kInvalidArgument,
                            "not a usable start-up entry name: '" + std::string(key) + "'");
}

QVariant SettingsStore::GetValue(std::string_view section, std::string_view key,
                                 const QVariant& defaultValue) {
    if (!appKeyMode_) {
        CheckRunEntryAddress(section, key);
        const auto command = ReadAutostartEntry(ScopeOfRoot(rootKey_), std::string(key));
        return command ? QVariant(QString::fromStdString(*command)) : defaultValue;
    }
    const QString fullKey = OwnKey(section, key);
    QSettings& settings = Own();
    return settings.contains(fullKey) ? settings.value(fullKey) : defaultValue;
}

void SettingsStore::SetValue(std::string_view section, std::string_view key, const QVariant& value) {
    if (!appKeyMode_) {
        CheckRunEntryAddress(section, key);
        const AutostartScope scope = ScopeOfRoot(rootKey_);
        const std::string command = value.toString().toStdString();
        if (command.empty())
            throw SettingsError(SettingsError::kInvalidArgument, "the start-up entry needs a command");
        std::string reason;
        if (!WriteAutostartEntry(scope, std::string(key), command, &reason))
            throw SettingsError(SettingsError::kStartupEntryWrite,
                                "could not write the start-up entry: " + reason);
        return;
    }
    const QString fullKey = OwnKey(section, key);
    if (!value.isValid())
        throw SettingsError(SettingsError::kInvalidArgument, "no value to store for " + std::string(key));
    Own().setValue(fullKey, value);
}

void SettingsStore::DeleteValue(std::string_view section, std::string_view key) {
    if (!appKeyMode_) {
        CheckRunEntryAddress(section, key);
        std::string reason;
        if (!RemoveAutostartEntry(ScopeOfRoot(rootKey_), std::string(key), &reason))
            throw SettingsError(SettingsError::kFileAccess,
                                "could not remove the start-up entry: " + reason);
        return;
    }
    Own().remove(OwnKey(section, key));
}

void SettingsStore::Sync() {
    if (!settings_) return;
    SyncOwn(*settings_);
    // QSettings keeps its first error: after a damaged file was read (FormatError) a failed
    // write no longer shows in status(), so ask whether the file can be written at all.
    const QSettings::Status status = settings_->status();
    if (status == QSettings::AccessError || (status != QSettings::NoError && !settings_->isWritable()))
        throw SettingsError(SettingsError::kFileAccess,
                            "could not write " + settings_->fileName().toStdString());
}

std::string SettingsStore::FileName() { return Own().fileName().toStdString(); }

}  // namespace vireo
