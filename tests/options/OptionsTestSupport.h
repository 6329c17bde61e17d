#pragma once
// A clock window stand-in that records what the Options dialog asks of it, and a fixture
// with a private config folder (settings and both autostart folders) and the real music
// engine over a recording device.

#include "music/MusicEngine.h"
#include "options/OptionsHost.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include "SettingsTestSupport.h"
#include "SoundFakes.h"

#include <QDir>
#include <QFile>

#include <string>
#include <vector>

namespace vireo::test {

class FakeHost final : public OptionsHost {
public:
    ClockState state;
    QRect frame{100, 120, 200, 220};
    WindowStateIndex windowState = WindowStateIndex::Normal;
    QRect workArea{0, 0, 1280, 1000};
    bool midi = true;
    bool round = false;
    MusicEngine* music = nullptr;
    std::vector<std::string> log;
    std::vector<int> help;
    std::vector<std::string> messages;
    // The scheme and back colour in the state at each call on the window, in order.
    std::vector<std::pair<std::int32_t, OleColor>> seenAtWindowCalls;
    void SeeState() { seenAtWindowCalls.emplace_back(state.BackgroundMode, state.UserBackColor); }

    ClockState& State() override { return state; }
    QRect ClockFrame() const override { return frame; }
    WindowStateIndex WindowState() const override { return windowState; }
    QRect WorkArea() const override { return workArea; }
    bool MidiAvailable() override { return midi; }
    void MidiClose() override { log.push_back("MidiClose"); }
    MusicEngine* Music() override { return music; }
    void AddTaskTrayIcon() override { log.push_back("AddTaskTrayIcon"); }
    void RemoveTaskTrayIcon() override { log.push_back("RemoveTaskTrayIcon"); }
    void RepairTaskTrayIcon() override { log.push_back("RepairTaskTrayIcon"); }
    void SetWindowButtons(bool closeButtonMinimized) override {
        log.push_back(std::string("SetWindowButtons(") + (closeButtonMinimized ? "1)" : "0)"));
        SeeState();
    }
    void SetTransparentForm(bool on) override {
        log.push_back(std::string("SetTransparentForm(") + (on ? "1)" : "0)"));
        SeeState();
    }
    void SetCircleForm(bool r) override {
        log.push_back(std::string("SetCircleForm(") + (r ? "1)" : "0)"));
        SeeState();
        round = r;
    }
    bool IsRound() const override { return round; }
    void RestoreFromMinimized() override {
        log.push_back("RestoreFromMinimized");
        windowState = WindowStateIndex::Normal;
    }
    void ShowReadoutMusicLook() override { log.push_back("ShowReadoutMusicLook"); }
    void ShowHelp(int contextId) override { help.push_back(contextId); }
    void ShowExclamation(const std::string& text) override { messages.push_back(text); }
    void Beep() override { log.push_back("Beep"); }

    bool Logged(const std::string& call) const {
        return std::find(log.begin(), log.end(), call) != log.end();
    }
};

class OptionsFixture : public ConfigFolderTest {
protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        host.music = &music;
        musicFile = (dir_.path() + QStringLiteral("/music/signal.wav")).toStdString();
        otherFile = (dir_.path() + QStringLiteral("/music/other.mid")).toStdString();
        QDir().mkpath(dir_.path() + QStringLiteral("/music"));
        device.playable = {musicFile, otherFile};
    }

    // Settings as an earlier run left them.
    void SaveOptions(bool minimized, std::int32_t hKeyStartUp, bool circleForm) {
        SettingsStore store;
        OpenOwnSettings(store);
        Write(store, kMinimized, minimized);
        Write(store, kHKeyStartUp, hKeyStartUp);
        Write(store, kCircleForm, circleForm);
    }
    template <typename S>
    auto Saved(const S& setting) {
        SettingsStore store;
        OpenOwnSettings(store);
        return Read(store, setting);
    }
    bool HasSaved(std::string_view key) {
        SettingsStore store;
        OpenOwnSettings(store);
        return store.GetValue(kRootSection, key).isValid();
    }
    // Makes a file stand where a folder is expected, so nothing can be written below it.
    void BlockFolder(const QString& folder) {
        QDir().mkpath(QFileInfo(folder).path());
        QFile f(folder);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void BlockMachineAutostart() {
        const QString blocked = dir_.path() + QStringLiteral("/blocked-etc");
        BlockFolder(blocked);
        SetMachineAutostartFolder((blocked + QStringLiteral("/autostart")).toStdString());
    }
    void BlockUserAutostart() { BlockFolder(ConfigHome() + QStringLiteral("/autostart")); }

    FakeHost host;
    testing::FakeMusicDevice device;
    MusicEngine music{device, host.state};
    std::string musicFile;
    std::string otherFile;
};

}  // namespace vireo::test
