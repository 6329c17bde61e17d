#include "mainwindow/ClockSettings.h"

#include <cmath>
#include <optional>

#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "signal/AlarmStore.h"

namespace vireo {

namespace {

template <typename W, typename R>
R ReadCorrected(SettingsStore& store, const Setting<W, R>& s) {
    const CheckedValue<R> read = ReadChecked(store, s);
    if (read.replaced) Write(store, s, W(read.value));
    return read.value;
}

std::optional<double> OptionalTwips(SettingsStore& store, const CallerDefaultSetting<std::int32_t, float>& s) {
    const auto v = ConvertStored<float>(store.GetValue(s.section, s.key));
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return static_cast<double>(*v);
}

}  // namespace

ClockSettingsRecord ReadClockSettings(SettingsStore& store, ClockState& state, AlarmTables& alarms) {
    ClockSettingsRecord r;
    // Coordinates no observer can have (a hand-edited file) read as the defaults.
    r.Observer.Longitude = ReadCorrected(store, kObsLongitude);
    r.Observer.Latitude = ReadCorrected(store, kObsLatitude);
    r.Observer.Height = ReadCorrected(store, kObsHeight);
    r.Observer.TimeZone = ReadCorrected(store, kTimeZone);

    // A scale without a name would leave the clock without caption or dial, so an unknown one
    // reads as the default.
    state.ClockMode = ReadCorrected(store, kClockMode);
    state.DigitalMode = Read(store, kDigitalMode);
    state.TimeSignalMode = ReadCorrected(store, kTimeSignalMode);
    state.TimeSignalFile = Read(store, kTimeSignalFile);

    alarms = LoadAlarmTables(store);

    r.Client.Left = OptionalTwips(store, kLeft);
    r.Client.Top = OptionalTwips(store, kTop);
    r.Client.Width = OptionalTwips(store, kWidth);
    r.Client.Height = OptionalTwips(store, kHeight);

    state.BackgroundMode = ReadCorrected(store, kBackgroundMode);
    state.UserBackColor = ReadCorrected(store, kUserBackColor);
    state.UserForeColor = ReadCorrected(store, kUserForeColor);
    r.CircleForm = Read(store, kCircleForm);

    r.Interval = ReadCorrected(store, kInterval);

    state.ShowInTaskTray = Read(store, kTaskTray);
    state.CloseButtonMinimized = Read(store, kCloseButton);

    r.StartMinimized = Read(store, kMinimized);
    if (!r.StartMinimized) r.WindowState = static_cast<WindowStateIndex>(ReadCorrected(store, kWindowState));
    return r;
}

void WriteClockSettings(SettingsStore& store, const ClockState& state, const AlarmTables& alarms,
                        const ObserverSettings& observer, std::int32_t interval, const TwipRect& client,
                        WindowStateIndex windowState) {
    Write(store, kObsHeight, observer.Height);
    Write(store, kObsLatitude, observer.Latitude);
    Write(store, kObsLongitude, observer.Longitude);
    Write(store, kTimeZone, observer.TimeZone);
    Write(store, kInterval, interval);
    Write(store, kClockMode, state.ClockMode);
    Write(store, kDigitalMode, state.DigitalMode);
    Write(store, kTimeSignalMode, state.TimeSignalMode);
    Write(store, kTimeSignalFile, state.TimeSignalFile);
    SaveAlarmTables(store, alarms);
    Write(store, kLeft, client.Left);
    Write(store, kTop, client.Top);
    Write(store, kWidth, client.Width);
    Write(store, kHeight, client.Height);
    const WindowStateIndex kept =
        windowState == WindowStateIndex::Maximized ? WindowStateIndex::Maximized : WindowStateIndex::Normal;
    Write(store, kWindowState, static_cast<std::int32_t>(kept));
    Write(store, kTaskTray, state.ShowInTaskTray);
    Write(store, kCloseButton, state.CloseButtonMinimized);
    Write(store, kBackgroundMode, state.BackgroundMode);
    Write(store, kUserBackColor, state.UserBackColor);
    Write(store, kUserForeColor, state.UserForeColor);
}

}  // namespace vireo
