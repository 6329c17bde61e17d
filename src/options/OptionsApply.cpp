#include "options/OptionsApply.h"

#include "music/MusicEngine.h"
#include "platform/ResourceStrings.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

namespace vireo {

namespace {

const std::string& RunSection() { return LoadResString(1001); }

bool IsKnownRoot(std::int32_t root) { return root == kHKeyLocalMachine || root == kHKeyCurrentUser; }

std::int32_t RecordedRoot(SettingsStore& store) {
    try {
        return Read(store, kHKeyStartUp);
    } catch (const SettingsError&) {
        return 0;
    }
}

bool WriteStartupEntry(SettingsStore& store, std::int32_t root, const std::string& programPath,
                       int* failure) {
    try {
        store.SetRootKey(root);
        store.SetValue(RunSection(), kProductName, QVariant(QString::fromStdString(programPath)));
        return true;
    } catch (const SettingsError& e) {
        *failure = e.number();
        return false;
    }
}

}  // namespace

std::int32_t ApplyStartupRegistration(bool startUp, OptionsHost& host, SettingsStore& store,
                                      const std::string& programPath) {
    std::int32_t root = 0;
    store.SetAppKeyMode(true);
    const std::int32_t previous = RecordedRoot(store);
    if (startUp) {
        // Machine-wide first; where that is refused, for this user only. Whatever the failure,
        // the registration that was there stays as it was until a new entry is written.
        store.SetAppKeyMode(false);
        int failure = 0;
        root = kHKeyLocalMachine;
        bool written = WriteStartupEntry(store, root, programPath, &failure);
        if (!written) {
            root = kHKeyCurrentUser;
            written = WriteStartupEntry(store, root, programPath, &failure);
        }
        if (!written) {
            host.ShowExclamation(kStartupFailedMessage);
            root = previous;
        } else if (previous != root && IsKnownRoot(previous)) {
            // An entry left under the other root would start the program once more and could
            // no longer be removed from the dialog, which only knows the root recorded last.
            try {
                store.SetRootKey(previous);
                store.DeleteValue(RunSection(), kProductName);
            } catch (const SettingsError&) {
            }
        }
    } else {
        root = previous;
        if (root != 0) {
            store.SetAppKeyMode(false);
            try {
                store.SetRootKey(root);
                store.DeleteValue(RunSection(), kProductName);
                root = 0;
            } catch (const SettingsError& e) {
                // An entry that could not be removed still starts the program: keep its root,
                // so the dialog still shows the option and the next OK tries again. A root
                // number that names no place has nothing to remove.
                if (e.number() != SettingsError::kFileAccess) root = 0;
            }
        }
    }
    store.SetAppKeyMode(true);
    Write(store, kHKeyStartUp, root);
    return root;
}

std::int32_t OptionsApply(const OptionChoices& choices, OptionsHost& host, SettingsStore& store,
                          const std::string& programPath) {
    ClockState& state = host.State();
    const bool tray = choices.Tray;
    const bool closeMinimizes = choices.CloseMinimizes && tray;
    const bool startUp = choices.StartUp && tray;
    const bool startMinimized = choices.StartMinimized && tray;

    // Notification icon.
    if (tray && !state.ShowInTaskTray) host.AddTaskTrayIcon();
    if (!tray && state.ShowInTaskTray) host.RemoveTaskTrayIcon();
    state.ShowInTaskTray = tray;

    // Close button.
    state.CloseButtonMinimized = closeMinimizes;
    host.SetWindowButtons(state.CloseButtonMinimized);

    // Time signal. A chime or pips in progress must not go on in a kind no longer chosen.
    const std::int32_t old = state.TimeSignalMode;
    if (IsMidiSignal(old) && choices.Kind != old) host.MidiClose();
    MusicEngine* music = host.Music();
    if (old == kSignalMusic && choices.Kind != kSignalMusic && state.MusicPlayMode == kPlayModeTimeSignal && music)
        music->StopMusic();
    // Music without a file would be silent: the previous kind and file stay.
    if (!choices.File.empty() || choices.Kind != kSignalMusic) {
        state.TimeSignalMode = choices.Kind;
        state.TimeSignalFile = choices.File;
    }

    // 4.-5. Start-up entry and its root.
    const std::int32_t root = ApplyStartupRegistration(startUp, host, store, programPath);

    // Saved options.
    Write(store, kMinimized, startMinimized);
    Write(store, kCircleForm, choices.Round);

    // 7.-9. Scheme, window state, see-through face (which re-applies the scheme).
    state.BackgroundMode = choices.Scheme;
    if (host.WindowState() == WindowStateIndex::Minimized) host.RestoreFromMinimized();
    host.SetTransparentForm(choices.Scheme == kSchemeSeeThrough);

    // Music keeps its look on the readout.
    if (music && music->MusicStatus() == "playing") host.ShowReadoutMusicLook();

    // Round window: the see-through face is always round.
    const bool round = choices.Scheme == kSchemeSeeThrough || choices.Round;
    if (round || host.IsRound()) host.SetCircleForm(round);

    // The round state changes the window's buttons.
    host.SetWindowButtons(state.CloseButtonMinimized);

    // Colours; the scheme shows them when it is next applied.
    state.UserBackColor = choices.Back;
    state.UserForeColor = choices.Fore;
    return root;
}

}  // namespace vireo
