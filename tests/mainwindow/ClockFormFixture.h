#pragma once
// The clock window as its tests build it: a private settings folder, a settable clock, the
// real ephemeris component with its dialog, and the settings file read and written directly.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "OwnSettingsFile.h"
#include "TempConfigHome.h"
#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "mainwindow/ClockForm.h"
#include "timekeeping/Clock.h"

namespace vireo::test {

class ClockFormFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // A window on clock (the fixture's own when null); more adds parts, the sound engines say.
    std::unique_ptr<ClockForm> MakeForm(const Clock* clock = nullptr) {
        ClockFormParts parts;
        parts.clock = clock ? clock : &clock_;
        parts.createEphemeris = [] { return std::make_unique<EphemerisComponent>(EditObserverInDialog); };
        parts.reportProblem = [this](const std::string& text) { problems_.push_back(text); };
        if (moreParts_) moreParts_(parts);
        return std::make_unique<ClockForm>(std::move(parts));
    }
    std::unique_ptr<ClockForm> LoadAndShow() {
        auto form = MakeForm();
        form->Form_Load();
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    QSettings File() { return QSettings(OwnSettingsFileName(), QSettings::IniFormat); }
    QVariant Stored(const char* key) { return StoredOwnSetting(key); }
    void Put(const char* key, const QVariant& value) { PutOwnSetting(key, value); }

    TempConfigHome dir_;
    std::vector<std::string> problems_;
    SettableClock clock_;
    std::function<void(ClockFormParts&)> moreParts_;
};

}  // namespace vireo::test
