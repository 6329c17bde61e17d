#pragma once
// The entry that starts the program when the user logs on. On a freedesktop system it is an
// XDG autostart desktop file (machine-wide or per user); on Windows a value under the Run key.
// Plain UTF-8 strings in and out; no widgets.

#include <optional>
#include <string>
#include <vector>

namespace vireo {

enum class AutostartScope {
    Machine,  // every user: /etc/xdg/autostart (HKEY_LOCAL_MACHINE's Run key on Windows)
    User,     // this user: $XDG_CONFIG_HOME/autostart (HKEY_CURRENT_USER's Run key on Windows)
};

// The folder that holds the entries of the scope. The user folder follows $XDG_CONFIG_HOME
// (absolute paths only, else ~/.config) at every call.
std::string AutostartFolder(AutostartScope scope);

// Replaces the machine-wide folder (tests must never write /etc); empty restores the default.
void SetMachineAutostartFolder(const std::string& folder);

// A name usable as the entry's file name: not empty, no path separators, no control
// characters, not "." or "..".
bool IsValidAutostartName(const std::string& name);

// Writes (or replaces) the entry `name` that runs `program` (one program path, no arguments),
// with the program as TryExec and the launcher's icon. Atomic: an interrupted write leaves the
// previous entry. False, with a reason in *error and nothing written, when the program path
// cannot stand in an entry (empty, not UTF-8) or the folder or the file cannot be made.
bool WriteAutostartEntry(AutostartScope scope, const std::string& name, const std::string& program,
                         std::string* error = nullptr);

// The command line of the entry, its arguments unquoted and joined by single spaces (for an
// entry written above: the program path exactly). Nothing when there is no usable entry.
std::optional<std::string> ReadAutostartEntry(AutostartScope scope, const std::string& name);

// Removes the entry. An entry that is not there counts as removed.
bool RemoveAutostartEntry(AutostartScope scope, const std::string& name, std::string* error = nullptr);

// Desktop-entry Exec encoding, exposed for tests and for other entries we may write.
// One argument quoted as the Exec key requires (quotes only when needed, %% for %).
std::string QuoteExecArgument(const std::string& argument);
// A whole Exec value as it stands in the file (string escapes applied) for the arguments.
std::string EncodeExecValue(const std::vector<std::string>& arguments);
// The reverse: the arguments of an Exec value as read from the file; nothing when the value
// is malformed (an unterminated quote, a bad escape).
std::optional<std::vector<std::string>> DecodeExecValue(const std::string& value);

}  // namespace vireo
