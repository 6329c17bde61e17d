// Cost of the store's batches on a real file in a temporary config folder: the start-up read
// of every key, the shutdown write of every key (atomic rewrite included), the start-up entry.

#include "platform/Autostart.h"
#include "platform/ResourceStrings.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace vireo {
namespace {

struct ConfigFolder {
    QTemporaryDir dir;
    ConfigFolder() {
        const QString home = dir.path() + QStringLiteral("/config");
        qputenv("XDG_CONFIG_HOME", home.toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home);
        SetMachineAutostartFolder((dir.path() + QStringLiteral("/machine")).toStdString());
    }
};

void WriteEverything(SettingsStore& s, int n) {
    Write(s, kObsLongitude, 139.7447 + n * 1e-9);
    Write(s, kObsLatitude, 35.6544);
    Write(s, kObsHeight, 40.0);
    Write(s, kTimeZone, 9.0f);
    Write(s, kInterval, 100);
    Write(s, kClockMode, n % 8);
    Write(s, kDigitalMode, 1);
    Write(s, kTimeSignalMode, 2);
    Write(s, kTimeSignalFile, std::string("/home/利用者/音楽/時報.ogg"));
    for (int slot = 0; slot < kAlarmSlots; ++slot) {
        Write(s, AlarmSettingKey(slot), 0x01FE0E10 + slot);
        Write(s, AlarmFileKey(slot), "/home/利用者/音楽/alarm " + std::to_string(slot) + ".mp3");
    }
    Write(s, kLeft, 4560);
    Write(s, kTop, 3000);
    Write(s, kWidth, 3120);
    Write(s, kHeight, 3165);
    Write(s, kWindowState, 0);
    Write(s, kTaskTray, true);
    Write(s, kCloseButton, false);
    Write(s, kBackgroundMode, 1);
    Write(s, kUserBackColor, 16777215);
    Write(s, kUserForeColor, 0);
}

void BM_ShutdownWriteBatch(benchmark::State& state) {
    ConfigFolder folder;
    int n = 0;
    for (auto _ : state) {
        SettingsStore s;
        OpenOwnSettings(s);
        WriteEverything(s, ++n);  // a changed value each time, so the file is really rewritten
        s.Sync();
    }
}
BENCHMARK(BM_ShutdownWriteBatch)->Unit(benchmark::kMicrosecond);

void BM_StartupReadBatch(benchmark::State& state) {
    ConfigFolder folder;
    {
        SettingsStore s;
        OpenOwnSettings(s);
        WriteEverything(s, 1);
    }
    for (auto _ : state) {
        SettingsStore s;
        OpenOwnSettings(s);
        double sum = Read(s, kObsLongitude) + Read(s, kObsLatitude) + Read(s, kObsHeight) +
                     Read(s, kTimeZone) + Read(s, kClockMode) + Read(s, kDigitalMode) +
                     Read(s, kTimeSignalMode) + Read(s, kLeft, 0.0f) + Read(s, kTop, 0.0f) +
                     Read(s, kWidth, 0.0f) + Read(s, kHeight, 0.0f) + Read(s, kWindowState) +
                     Read(s, kBackgroundMode) + Read(s, kUserBackColor) + Read(s, kUserForeColor) +
                     Read(s, kInterval) + Read(s, kTaskTray) + Read(s, kCloseButton) +
                     Read(s, kCircleForm) + Read(s, kMinimized);
        std::size_t chars = Read(s, kTimeSignalFile).size();
        for (int slot = 0; slot < kAlarmSlots; ++slot) {
            sum += Read(s, AlarmSettingKey(slot));
            chars += Read(s, AlarmFileKey(slot)).size();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_StartupReadBatch)->Unit(benchmark::kMicrosecond);

void BM_StartupEntryWriteAndRead(benchmark::State& state) {
    ConfigFolder folder;
    for (auto _ : state) {
        SettingsStore s;
        s.SetAppKeyMode(false);
        s.SetRootKey(kHKeyCurrentUser);
        s.SetValue(LoadResString(1001), "Vireo", QStringLiteral("/opt/時計 アプリ/vireo"));
        benchmark::DoNotOptimize(s.GetValue(LoadResString(1001), "Vireo"));
    }
}
BENCHMARK(BM_StartupEntryWriteAndRead)->Unit(benchmark::kMicrosecond);

void BM_ConvertTextToInt32(benchmark::State& state) {
    const QVariant stored(QStringLiteral("33426960"));
    for (auto _ : state) benchmark::DoNotOptimize(ToInt32(stored));
}
BENCHMARK(BM_ConvertTextToInt32);

}  // namespace
}  // namespace vireo

BENCHMARK_MAIN();
