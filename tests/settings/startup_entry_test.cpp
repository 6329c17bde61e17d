// The start-up entry: AppKeyMode off, the Run key path as section, an XDG autostart file here.

#include "platform/Autostart.h"
#include "platform/DesktopId.h"
#include "platform/ResourceStrings.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "SettingsTestSupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace vireo {
namespace {

class StartupEntryTest : public test::ConfigFolderTest {
protected:
    static const std::string& RunKey() { return LoadResString(1001); }

    // The store as the Options dialog uses it for the registration.
    static void Register(SettingsStore& s, std::int32_t root, const std::string& program) {
        s.SetAppKeyMode(false);
        s.SetRootKey(root);
        s.SetValue(RunKey(), std::string(kProductName), QString::fromStdString(program));
        s.SetAppKeyMode(true);
    }

    // Puts a plain file where a folder is expected, so that nothing can be created below it.
    void Block(const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    // desktop-file-validate's verdict, empty when the file is valid.
    static QString Validate(const QString& path) {
        const QString tool = QStandardPaths::findExecutable("desktop-file-validate");
        if (tool.isEmpty()) return "desktop-file-validate is not installed";
        QProcess p;
        p.start(tool, {path});
        if (!p.waitForFinished(10000)) return "desktop-file-validate did not finish";
        const QString output = QString::fromUtf8(p.readAll());
        return p.exitCode() == 0 && !output.contains("error") ? QString() : output;
    }

    // A real program at `path` that writes the path it was started as into `startedFile`.
    static void MakeProgram(const QString& path, const QString& startedFile) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path())) << path.toStdString();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nprintf '%s' \"$0\" > '" + startedFile.toUtf8() + "'\n");
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // What GLib makes of the entry: it loads it (or refuses it) and launches it as a session
    // would. Returns the path the launched program was started as, or GLib's refusal.
    static QString LaunchWithGLib(const QString& entry, const QString& startedFile) {
        // python3-gi is Debian's module: the system interpreter, whatever else is on the PATH.
        QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
        if (python.isEmpty()) return "python3 is not installed";
        QFile::remove(startedFile);
        QProcess p;
        p.start(python, {"-c",
                         "import sys, gi\n"
                         "gi.require_version('Gio', '2.0')\n"
                         "from gi.repository import Gio\n"
                         "try:\n"
                         "    info = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])\n"
                         "except TypeError:\n"
                         "    sys.exit('GLib refuses the entry')\n"
                         "info.launch([], None)\n",
                         entry});
        if (!p.waitForFinished(10000)) return "python3 did not finish";
        if (p.exitCode() != 0) return QString::fromUtf8(p.readAllStandardError()).trimmed();
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(startedFile) && waited.elapsed() < 5000) QThread::msleep(20);
        QThread::msleep(50);  // the program may still be writing
        QFile f(startedFile);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "the program did not start";
    }
};

TEST_F(StartupEntryTest, UserEntryIsAValidDesktopFileReadBackAndDeleted) {
    const std::string program = "/opt/Larkspur Laboratory/時計 アプリ/vireo";
    SettingsStore s;
    OpenOwnSettings(s);
    Register(s, kHKeyCurrentUser, program);

    ASSERT_TRUE(QFileInfo::exists(UserAutostartFile()));
    EXPECT_FALSE(QFileInfo::exists(MachineAutostartFile()));
    const QString text = QString::fromUtf8(ReadFile(UserAutostartFile()));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(text.contains("\nName=Vireo\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/Larkspur Laboratory/時計 アプリ/vireo\"\n")) << text.toStdString();
    EXPECT_EQ(Validate(UserAutostartFile()), QString());

    s.SetAppKeyMode(false);
    s.SetRootKey(kHKeyCurrentUser);
    EXPECT_EQ(s.GetValue(RunKey(), "Vireo").toString().toStdString(), program);
    s.SetRootKey(kHKeyLocalMachine);
    EXPECT_EQ(s.GetValue(RunKey(), "Vireo", QVariant(-1)).toInt(), -1) << "nothing machine-wide";

    s.SetRootKey(kHKeyCurrentUser);
    s.DeleteValue(RunKey(), "Vireo");
    EXPECT_FALSE(QFileInfo::exists(UserAutostartFile()));
    EXPECT_FALSE(s.GetValue(RunKey(), "Vireo").isValid());
    s.DeleteValue(RunKey(), "Vireo");  // already gone: nothing to do
}

TEST_F(StartupEntryTest, OddProgramPathsStartExactlyThatProgramUnderDesktopFileValidateAndGLib) {
    const QString started = dir_.path() + "/started";
    const QStringList programs = {
        dir_.path() + "/plain/vireo",
        dir_.path() + "/Larkspur Laboratory/時計 アプリ/vireo",
        dir_.path() + "/100% sure/vi%reo",
        dir_.path() + "/%%f %u/a=b/vireo",
        dir_.path() + "/q\"uo'te $HOME `tick` back\\slash; & | * ? # ( ) < > ~/vireo",
        dir_.path() + "/tab\there/vireo",
    };
    for (const QString& program : programs) {
        SCOPED_TRACE(program.toStdString());
        MakeProgram(program, started);
        std::string error;
        ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", program.toStdString(), &error)) << error;
        EXPECT_EQ(Validate(UserAutostartFile()), QString()) << ReadFile(UserAutostartFile()).toStdString();
        EXPECT_EQ(LaunchWithGLib(UserAutostartFile(), started), program)
            << ReadFile(UserAutostartFile()).toStdString();
        EXPECT_EQ(ReadAutostartEntry(AutostartScope::User, "Vireo"), program.toStdString());
    }
}

TEST_F(StartupEntryTest, EntryCarriesTryExecAndTheLaunchersIcon) {
    const std::string program = "/opt/100% Larkspur/vireo";
    ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", program));
    const QString text = QString::fromUtf8(ReadFile(UserAutostartFile()));
    EXPECT_TRUE(text.contains("\nTryExec=/opt/100% Larkspur/vireo\n")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=%1\n").arg(DesktopAppId()))) << text.toStdString();
    EXPECT_EQ(QString(DesktopAppId()), "example.larkspur.Vireo");
}

TEST_F(StartupEntryTest, AProgramPathNoEntryCanNameFailsWithAReasonAndWritesNothing) {
    // A folder named in Latin-1 ("été"), an empty path, a NUL byte: refused before anything is
    // written, and a working entry already there stays as it was.
    ASSERT_TRUE(WriteAutostartEntry(AutostartScope::User, "Vireo", "/usr/bin/vireo"));
    const QByteArray before = ReadFile(UserAutostartFile());
    const std::vector<std::string> unusable = {std::string("/home/u/\xe9t\xe9/vireo"), std::string(),
                                               std::string("/opt/a\0b/vireo", 14),
                                               std::string("/opt/\xed\xa0\x80/vireo")};
    for (const std::string& program : unusable) {
        std::string error;
        EXPECT_FALSE(WriteAutostartEntry(AutostartScope::User, "Vireo", program, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadFile(UserAutostartFile()), before);
        std::string machineError;
        EXPECT_FALSE(WriteAutostartEntry(AutostartScope::Machine, "Vireo", program, &machineError));
        EXPECT_FALSE(QFileInfo::exists(dir_.path() + "/etc/xdg/autostart")) << "nothing made for it";
    }
    std::string error;
    WriteAutostartEntry(AutostartScope::User, "Vireo", "/home/u/\xe9t\xe9/vireo", &error);
    EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
    EXPECT_EQ(ReadAutostartEntry(AutostartScope::User, "Vireo"), "/usr/bin/vireo");
}

TEST_F(StartupEntryTest, MachineEntryGoesToTheMachineFolder) {
    SettingsStore s;
    Register(s, kHKeyLocalMachine, "/usr/bin/vireo");
    EXPECT_TRUE(QFileInfo::exists(MachineAutostartFile()));
    EXPECT_FALSE(QFileInfo::exists(UserAutostartFile()));
    EXPECT_TRUE(ReadFile(MachineAutostartFile()).contains("\nExec=/usr/bin/vireo\n"));
    EXPECT_EQ(Validate(MachineAutostartFile()), QString());

    // Case does not matter in the key path, as in the registry; writing again replaces.
    s.SetAppKeyMode(false);
    s.SetRootKey(kHKeyLocalMachine);
    std::string lower = RunKey();
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    s.SetValue(lower, "Vireo", QStringLiteral("/usr/local/bin/vireo"));
    EXPECT_EQ(s.GetValue(RunKey(), "Vireo").toString(), "/usr/local/bin/vireo");
}

TEST_F(StartupEntryTest, AnEntryThatCannotBeWrittenFailsWith335AndTheUserFallbackWorks) {
    Block(dir_.path() + "/etc/xdg/autostart");  // the machine folder cannot be made
    SettingsStore s;
    OpenOwnSettings(s);
    // The registration's order: machine-wide, then per user when refused with 335.
    std::int32_t root = kHKeyLocalMachine;
    try {
        Register(s, root, "/usr/bin/vireo");
        FAIL() << "the machine-wide write was reported as done";
    } catch (const SettingsError& e) {
        EXPECT_EQ(e.number(), 335);
        root = kHKeyCurrentUser;
        Register(s, root, "/usr/bin/vireo");
    }
    s.SetAppKeyMode(true);
    Write(s, kHKeyStartUp, root);
    EXPECT_TRUE(QFileInfo::exists(UserAutostartFile()));

    // Both folders blocked: 335 from the per-user write as well.
    QFile::remove(UserAutostartFile());
    QDir(ConfigHome() + "/autostart").removeRecursively();
    Block(ConfigHome() + "/autostart");
    try {
        Register(s, kHKeyCurrentUser, "/usr/bin/vireo");
        FAIL() << "the per-user write was reported as done";
    } catch (const SettingsError& e) {
        EXPECT_EQ(e.number(), 335);
    }
}

TEST_F(StartupEntryTest, OtherAddressesAreRefusedWithTheirOwnNumber) {
    auto number = [](auto fn) {
        try {
            fn();
        } catch (const SettingsError& e) {
            return e.number();
        }
        return 0;
    };
    SettingsStore s;
    OpenOwnSettings(s);
    s.SetAppKeyMode(false);
    s.SetRootKey(kHKeyCurrentUser);
    EXPECT_EQ(number([&] { s.SetValue("Software\\Larkspur Laboratory", "Vireo", "x"); }), 5);
    EXPECT_EQ(number([&] { s.GetValue("", "ClockMode"); }), 5);
    EXPECT_EQ(number([&] { s.DeleteValue("Alarm", "Setting0"); }), 5);
    EXPECT_EQ(number([&] { s.SetValue(RunKey(), "../escape", "x"); }), 5);
    EXPECT_EQ(number([&] { s.SetValue(RunKey(), "Vireo", QString()); }), 5);
    s.SetRootKey(0);  // "hKeyStartUp" of none, or a hand-edited value
    EXPECT_EQ(number([&] { s.DeleteValue(RunKey(), "Vireo"); }), 5);
    s.SetRootKey(7);
    EXPECT_EQ(number([&] { s.SetValue(RunKey(), "Vireo", "/usr/bin/vireo"); }), 5);

    // A removal that cannot be made is reported, and not as 335.
    s.SetRootKey(kHKeyCurrentUser);
    QDir().mkpath(UserAutostartFile() + "/not-empty");
    EXPECT_EQ(number([&] { s.DeleteValue(RunKey(), "Vireo"); }), SettingsError::kFileAccess);

    // Back in own-settings mode the store works as before.
    s.SetAppKeyMode(true);
    EXPECT_EQ(number([&] { Write(s, kClockMode, 2); }), 0);
}

TEST_F(StartupEntryTest, HandWrittenEntriesAreReadOrIgnoredSafely) {
    QDir().mkpath(ConfigHome() + "/autostart");
    auto entry = [&](const QByteArray& bytes) {
        QFile f(UserAutostartFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    auto read = [] { return ReadAutostartEntry(AutostartScope::User, "Vireo"); };

    entry("[Desktop Entry]\nType=Application\nExec = vireo --minimised \n");
    EXPECT_EQ(read(), "vireo --minimised");
    entry("# comment\n[Other Group]\nExec=wrong\n[Desktop Entry]\nExec=\"/a b/vireo\"\n");
    EXPECT_EQ(read(), "/a b/vireo");
    entry("[Desktop Entry]\nExec=/usr/bin/vireo\nHidden=true\n");
    EXPECT_EQ(read(), std::nullopt) << "a hidden entry is switched off";
    entry("[Desktop Entry]\nExec=\"/unterminated\n");
    EXPECT_EQ(read(), std::nullopt);
    entry("[Desktop Entry]\nType=Application\n");
    EXPECT_EQ(read(), std::nullopt);
    entry(QByteArray("\x00\xff\xfe[Desktop Entry\nExec", 22));
    EXPECT_EQ(read(), std::nullopt);
    entry(QByteArray());
    EXPECT_EQ(read(), std::nullopt);
}

TEST(ExecQuoting, ArgumentsAreQuotedOnlyWhenNeededAndDecodeBack) {
    EXPECT_EQ(QuoteExecArgument("/usr/bin/vireo"), "/usr/bin/vireo");
    EXPECT_EQ(QuoteExecArgument("/opt/my clock/vireo"), "\"/opt/my clock/vireo\"");
    EXPECT_EQ(QuoteExecArgument("/opt/$HOME/`x`/\"q\"/a\\b"), "\"/opt/\\$HOME/\\`x\\`/\\\"q\\\"/a\\\\b\"");
    EXPECT_EQ(QuoteExecArgument("/opt/100%/vireo"), "/opt/100%%/vireo");
    EXPECT_EQ(QuoteExecArgument(""), "\"\"");
    // In the file a backslash inside quotes is written four times.
    EXPECT_EQ(EncodeExecValue({"/a\\b c"}), "\"/a\\\\\\\\b c\"");

    const std::vector<std::vector<std::string>> cases = {
        {"/usr/bin/vireo"},
        {"/opt/時計 アプリ/vireo"},
        {"/opt/odd\"name'with`every$char\\and;more&|<>~*?#()/vireo"},
        {"/opt/50% off/vireo", "--flag=%f"},
        {"/opt/new\nline/tab\there/vireo"},
        {" leading space", "trailing space "},
        {"/a", "", "/b"},
    };
    for (const auto& arguments : cases) {
        const std::string encoded = EncodeExecValue(arguments);
        EXPECT_EQ(encoded.find('\n'), std::string::npos) << encoded;
        EXPECT_EQ(DecodeExecValue(encoded), arguments) << encoded;
    }
    EXPECT_EQ(DecodeExecValue("\"open"), std::nullopt);
    EXPECT_EQ(DecodeExecValue("  a   b  "), (std::vector<std::string>{"a", "b"}));
}

TEST(AutostartNames, OnlyPlainFileNamesAreAccepted) {
    EXPECT_TRUE(IsValidAutostartName("Vireo"));
    EXPECT_TRUE(IsValidAutostartName("時計 Vireo"));
    EXPECT_FALSE(IsValidAutostartName(""));
    EXPECT_FALSE(IsValidAutostartName("."));
    EXPECT_FALSE(IsValidAutostartName(".."));
    EXPECT_FALSE(IsValidAutostartName("a/b"));
    EXPECT_FALSE(IsValidAutostartName("a\\b"));
    EXPECT_FALSE(IsValidAutostartName(std::string("a\nb")));
}

}  // namespace
}  // namespace vireo
