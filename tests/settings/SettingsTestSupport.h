#pragma once
// A private config folder per test: the store, the user autostart folder and the machine-wide
// autostart folder all point into a fresh temporary directory.

#include "platform/Autostart.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vireo::test {

class ConfigFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", ConfigHome().toLocal8Bit());
        // QSettings resolves its folder once per process; point it here for this test. setPath
        // also wins over QStandardPaths' test mode, which these tests leave off; the autostart
        // folder reads $XDG_CONFIG_HOME at every call.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ConfigHome());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ConfigHome());
        SetMachineAutostartFolder((dir_.path() + QStringLiteral("/etc/xdg/autostart")).toStdString());
    }
    void TearDown() override {
        SetMachineAutostartFolder("");
        qputenv("XDG_CONFIG_HOME", savedConfigHome_);
    }

    QString ConfigHome() const { return dir_.path() + QStringLiteral("/config"); }
    QString SettingsFile() const {
        return ConfigHome() + QStringLiteral("/Larkspur Laboratory/Vireo.conf");
    }
    QString UserAutostartFile() const { return ConfigHome() + QStringLiteral("/autostart/Vireo.desktop"); }
    QString MachineAutostartFile() const {
        return dir_.path() + QStringLiteral("/etc/xdg/autostart/Vireo.desktop");
    }
    // Replaces the settings file with raw bytes, as a hand edit or a damaged disk would.
    void WriteSettingsFile(const QByteArray& bytes) const {
        QDir().mkpath(ConfigHome() + QStringLiteral("/Larkspur Laboratory"));
        QFile f(SettingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray ReadFile(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QByteArray savedConfigHome_;
};

}  // namespace vireo::test
