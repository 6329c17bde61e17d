#include "platform/Autostart.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QStringDecoder>

#include <algorithm>

#include "platform/DesktopId.h"

#ifdef Q_OS_WIN
#include <QSettings>
#include "platform/ResourceStrings.h"
#endif

namespace vireo {

namespace {

std::string& MachineFolderOverride() {
    static std::string folder;
    return folder;
}

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// Characters that force an Exec argument into double quotes.
bool IsReservedInExec(char c) {
    switch (c) {
    case ' ': case '\t': case '\n': case '\r': case '"': case '\'': case '\\': case '>':
    case '<': case '~': case '|': case '&': case ';': case '$': case '*': case '?':
    case '#': case '(': case ')': case '`':
        return true;
    default:
        return false;
    }
}

// The escapes every string value of a desktop entry uses; applied after Exec quoting.
std::string EscapeDesktopString(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
    return out;
}

std::string UnescapeDesktopString(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        switch (next) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default:  // not a string escape: keep both, a hand-written file may rely on it
            out += '\\';
            out += next;
            break;
        }
    }
    return out;
}

std::string ExpandPercent(const std::string& argument) {
    std::string out;
    out.reserve(argument.size());
    for (std::size_t i = 0; i < argument.size(); ++i) {
        out += argument[i];
        if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') ++i;
    }
    return out;
}

std::string TrimSpaces(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

#ifndef Q_OS_WIN
// GLib looks the Exec program up before it turns %% into %, so it refuses an entry whose
// program path has a percent sign. Such a path is started through the shell instead, which
// both GLib and the desktop entry rules accept and which runs exactly that program.
const std::vector<std::string> kShellWrapper = {"/bin/sh", "-c", "exec \"$0\""};

std::vector<std::string> ExecArguments(const std::string& program) {
    if (program.find('%') == std::string::npos) return {program};
    std::vector<std::string> arguments = kShellWrapper;
    arguments.push_back(program);
    return arguments;
}

// Why the program path cannot stand in an entry, or empty when it can. A desktop entry is
// UTF-8 text: a path in any other encoding cannot be written so that it names the same file.
std::string ProgramPathProblem(const std::string& program) {
    if (program.empty()) return "the program path is empty";
    if (program.find('\0') != std::string::npos) return "the program path contains a NUL byte";
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(QByteArrayView(program.data(), qsizetype(program.size())));
    if (utf8.hasError() || decoded.isEmpty())
        return "the program path is not valid UTF-8, so no desktop entry can name it";
    return {};
}

QString EntryPath(AutostartScope scope, const std::string& name) {
    return QString::fromStdString(AutostartFolder(scope)) + u'/' + QString::fromStdString(name) +
           QStringLiteral(".desktop");
}
#else
QString RunKeyPath(AutostartScope scope) {
    const QString root = scope == AutostartScope::Machine ? QStringLiteral("HKEY_LOCAL_MACHINE\\")
                                                          : QStringLiteral("HKEY_CURRENT_USER\\");
    return root + QString::fromStdString(LoadResString(1001));
}
#endif

}  // namespace

std::string AutostartFolder(AutostartScope scope) {
    if (scope == AutostartScope::Machine) {
        const std::string& custom = MachineFolderOverride();
        return custom.empty() ? std::string("/etc/xdg/autostart") : custom;
    }
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = (!config.isEmpty() && QDir::isAbsolutePath(config))
                             ? config
                             : QDir::homePath() + QStringLiteral("/.config");
    return (base + QStringLiteral("/autostart")).toStdString();
}

void SetMachineAutostartFolder(const std::string& folder) { MachineFolderOverride() = folder; }

bool IsValidAutostartName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\') return false;
    }
    return true;
}

std::string QuoteExecArgument(const std::string& argument) {
    bool needsQuotes = argument.empty();
    for (char c : argument) needsQuotes = needsQuotes || IsReservedInExec(c);
    std::string out;
    out.reserve(argument.size() + 4);
    if (needsQuotes) out += '"';
    for (char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
        if (c == '%') out += '%';  // a literal percent sign is doubled, else it reads as a field code
    }
    if (needsQuotes) out += '"';
    return out;
}

std::string EncodeExecValue(const std::vector<std::string>& arguments) {
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += QuoteExecArgument(argument);
    }
    return EscapeDesktopString(line);
}

std::optional<std::vector<std::string>> DecodeExecValue(const std::string& value) {
    const std::string line = UnescapeDesktopString(value);
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else if (c == '\\' && i + 1 < line.size() &&
                       (line[i + 1] == '"' || line[i + 1] == '`' || line[i + 1] == '$' ||
                        line[i + 1] == '\\')) {
                current += line[++i];
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inArgument) arguments.push_back(ExpandPercent(current));
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            inQuotes = true;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inQuotes) return std::nullopt;
    if (inArgument) arguments.push_back(ExpandPercent(current));
    return arguments;
}

#ifndef Q_OS_WIN

bool WriteAutostartEntry(AutostartScope scope, const std::string& name, const std::string& program,
                         std::string* error) {
    if (!IsValidAutostartName(name)) {
        SetError(error, "invalid entry name");
        return false;
    }
    if (const std::string problem = ProgramPathProblem(program); !problem.empty()) {
        SetError(error, problem);
        return false;
    }
    const QString folder = QString::fromStdString(AutostartFolder(scope));
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        SetError(error, "cannot create folder " + folder.toStdString());
        return false;
    }
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + EscapeDesktopString(name) + "\n";
    // TryExec: once the program is gone (uninstalled, a build folder deleted) the session
    // skips the entry instead of failing to start it.
    text += "TryExec=" + EscapeDesktopString(program) + "\n";
    text += "Exec=" + EncodeExecValue(ExecArguments(program)) + "\n";
    text += std::string("Icon=") + DesktopAppId() + "\n";
    text += "X-GNOME-Autostart-enabled=true\n";

    QSaveFile file(EntryPath(scope, name));
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString().toStdString());
        return false;
    }
    const QByteArray bytes = QByteArray::fromStdString(text);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        SetError(error, file.errorString().toStdString());
        return false;
    }
    return true;
}

std::optional<std::string> ReadAutostartEntry(AutostartScope scope, const std::string& name) {
    if (!IsValidAutostartName(name)) return std::nullopt;
    QFile file(EntryPath(scope, name));
    // A desktop entry is a few hundred bytes; anything huge is not one of ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) return std::nullopt;
    const std::string text = file.readAll().toStdString();

    bool inMainGroup = false;
    std::optional<std::string> exec;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = TrimSpaces(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inMainGroup = (line == "[Desktop Entry]");
            continue;
        }
        const auto eq = line.find('=');
        if (!inMainGroup || eq == std::string::npos) continue;
        const std::string key = TrimSpaces(line.substr(0, eq));
        const std::string value = TrimSpaces(line.substr(eq + 1));
        if (key == "Hidden" && value == "true") return std::nullopt;  // an entry switched off
        if (key == "Exec") exec = value;
    }
    if (!exec) return std::nullopt;
    const auto arguments = DecodeExecValue(*exec);
    if (!arguments || arguments->empty()) return std::nullopt;
    // An entry written through the shell (see ExecArguments) reads as its program.
    if (arguments->size() == kShellWrapper.size() + 1 &&
        std::equal(kShellWrapper.begin(), kShellWrapper.end(), arguments->begin()))
        return arguments->back();
    std::string command;
    for (const auto& argument : *arguments) {
        if (!command.empty()) command += ' ';
        command += argument;
    }
    return command;
}

bool RemoveAutostartEntry(AutostartScope scope, const std::string& name, std::string* error) {
    if (!IsValidAutostartName(name)) {
        SetError(error, "invalid entry name");
        return false;
    }
    QFile file(EntryPath(scope, name));
    if (!file.exists()) return true;
    if (!file.remove()) {
        SetError(error, file.errorString().toStdString());
        return false;
    }
    return true;
}

#else  // Q_OS_WIN: the Run keys themselves

bool WriteAutostartEntry(AutostartScope scope, const std::string& name, const std::string& program,
                         std::string* error) {
    if (!IsValidAutostartName(name)) {
        SetError(error, "invalid entry name");
        return false;
    }
    QSettings run(RunKeyPath(scope), QSettings::NativeFormat);
    run.setValue(QString::fromStdString(name), QDir::toNativeSeparators(QString::fromStdString(program)));
    run.sync();
    if (run.status() != QSettings::NoError) {
        SetError(error, "cannot write the Run key");
        return false;
    }
    return true;
}

std::optional<std::string> ReadAutostartEntry(AutostartScope scope, const std::string& name) {
    QSettings run(RunKeyPath(scope), QSettings::NativeFormat);
    const QVariant value = run.value(QString::fromStdString(name));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
}

bool RemoveAutostartEntry(AutostartScope scope, const std::string& name, std::string* error) {
    QSettings run(RunKeyPath(scope), QSettings::NativeFormat);
    run.remove(QString::fromStdString(name));
    run.sync();
    if (run.status() != QSettings::NoError) {
        SetError(error, "cannot write the Run key");
        return false;
    }
    return true;
}

#endif

}  // namespace vireo
