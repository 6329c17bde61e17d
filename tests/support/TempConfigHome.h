#pragma once
// A private, empty settings folder for one test: XDG_CONFIG_HOME and Qt's user settings paths
// point into a temporary folder for as long as the object lives.

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class TempConfigHome {
public:
    TempConfigHome() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    ~TempConfigHome() { qputenv("XDG_CONFIG_HOME", saved_); }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};
