#pragma once
// What OK in the Options dialog does, in its order, apart from the widgets: the dialog
// gathers its controls into OptionChoices and the clock window is reached through the host.

#include "options/OptionsHost.h"
#include "timekeeping/ClockState.h"

#include <cstdint>
#include <string>

namespace vireo {

class SettingsStore;

struct OptionChoices {
    bool Tray = false;             // icon in the notification area
    bool CloseMinimizes = false;   // counts only with Tray
    bool StartUp = false;          // counts only with Tray
    bool StartMinimized = false;   // counts only with Tray
    bool Round = false;            // the check mark, whether offered or not
    std::int32_t Kind = kSignalNone;   // a TimeSignalKind
    std::int32_t Scheme = kSchemeDayNight;  // a ColorSchemeKind
    OleColor Back = 0xFFFFFF;
    OleColor Fore = 0;
    std::string File;              // time-signal music file (UTF-8)
};

inline constexpr char kStartupFailedMessage[] = "スタートアップに登録できませんでした。";

// Commits the choices: icon, close button, time signal, start-up entry (the program path is
// what the entry starts), the three saved keys "hKeyStartUp", "Minimized" and "CircleForm",
// scheme, window state, see-through face, music look, round window, window buttons, colours.
// store: the dialog's own settings store, naming the program's own settings; it is left so.
// Returns the root now recorded in "hKeyStartUp".
std::int32_t OptionsApply(const OptionChoices& choices, OptionsHost& host, SettingsStore& store,
                          const std::string& programPath);

// The start-up step alone (also run by OptionsApply): registers or unregisters and records
// the root. Returns the root recorded.
std::int32_t ApplyStartupRegistration(bool startUp, OptionsHost& host, SettingsStore& store,
                                      const std::string& programPath);

}  // namespace vireo
