// The real SDL2_mixer music device on SDL's dummy audio driver (it consumes samples in real
// time): files made by the test play to their end, pause and resume, and the files it cannot
// play fail at open. Also the whole path of a music alarm through the engines.

#include "platform/sound/SdlMusicDevice.h"

#include "music/MusicEngine.h"
#include "platform/sound/FluidSynthMidiOutput.h"
#include "platform/sound/MidiSong.h"
#include "platform/MidiOutput.h"
#include "platform/NoSound.h"
#include "signal/MidiChime.h"
#include "timekeeping/Clock.h"
#include "signal/SignalControl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include "TestAudioFiles.h"

#include <cstdlib>
#include <numbers>

namespace vireo {
namespace {

using test::MakeWav;

// A one-note Standard MIDI File of about a quarter second.
QByteArray MakeMidi() {
    const unsigned char bytes[] = {
        'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
        'M', 'T', 'r', 'k', 0, 0, 0, 13,
        0x00, 0x90, 69, 100,   // note on
        0x30, 0x80, 69, 0,     // note off after 48 ticks (a quarter second at 120 bpm)
        0x00, 0xFF, 0x2F, 0x00, 0x00};
    return QByteArray(reinterpret_cast<const char*>(bytes), int(sizeof bytes) - 1);
}

class SdlMusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

    QTemporaryDir dir;
    std::string Write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName().toStdString();
    }
    // Waits until the device's status leaves "playing" (or the limit passes).
    static std::string WaitForEnd(MusicDevice& device, int limitMs) {
        QElapsedTimer timer;
        timer.start();
        while (device.Status() == "playing" && timer.elapsed() < limitMs) QThread::msleep(10);
        return device.Status();
    }
    std::string SoxFile(const QString& name) {
        const QString sox = QStandardPaths::findExecutable("sox");
        if (sox.isEmpty()) return {};
        const QString path = dir.filePath(name);
        const int rc = QProcess::execute(sox, {"-n", "-r", "44100", "-c", "1", path, "synth", "0.3", "sine", "440"});
        return rc == 0 && QFile::exists(path) ? path.toStdString() : std::string();
    }

    SdlMusicDevice device;
};

TEST_F(SdlMusicTest, WavPlaysToItsEndAndCloses) {
    const std::string wav = Write("short.wav", MakeWav(0.3));
    QElapsedTimer timer;
    ASSERT_TRUE(device.Open(wav));
    EXPECT_EQ(device.Status(), "stopped") << "open but not started";
    timer.start();
    ASSERT_TRUE(device.Play());
    EXPECT_EQ(device.Status(), "playing");
    EXPECT_EQ(WaitForEnd(device, 5000), "stopped");
    EXPECT_GE(timer.elapsed(), 200) << "it really played, in real time";
    device.Close();
    EXPECT_EQ(device.Status(), "");
    EXPECT_FALSE(device.Play());
}

TEST_F(SdlMusicTest, PauseHoldsAndResumeContinues) {
    ASSERT_TRUE(device.Open(Write("long.wav", MakeWav(0.3))));
    EXPECT_FALSE(device.Pause()) << "nothing plays yet";
    ASSERT_TRUE(device.Play());
    ASSERT_TRUE(device.Pause());
    EXPECT_EQ(device.Status(), "paused");
    QThread::msleep(500);
    EXPECT_EQ(device.Status(), "paused") << "a paused file does not run to its end";
    EXPECT_FALSE(device.Pause());
    ASSERT_TRUE(device.Resume());
    EXPECT_EQ(device.Status(), "playing");
    EXPECT_FALSE(device.Resume());
    EXPECT_EQ(WaitForEnd(device, 5000), "stopped");
    device.Stop();
    EXPECT_EQ(device.Status(), "stopped");
    device.Close();
}

// Opens and plays a file, then waits for it to play to its end or to fail: the device's
// failure, empty when it played.
std::string PlayToEnd(SdlMusicDevice& device, const std::string& file) {
    if (!device.Open(file)) {
        EXPECT_EQ(device.Status(), "") << "nothing open after a refusal: " << file;
        return device.Failure();
    }
    EXPECT_TRUE(device.Play());
    QElapsedTimer timer;
    timer.start();
    std::string status;
    while ((status = device.Status()) == "playing" && timer.elapsed() < kLoadGiveUpMs + 2000) QThread::msleep(10);
    EXPECT_EQ(status, "stopped") << file;
    std::string failure = device.Failure();
    device.Close();
    EXPECT_EQ(device.Status(), "");
    return failure;
}

TEST_F(SdlMusicTest, FilesItCannotPlayNeverPlayAndSayWhy) {
    // Windows Media: the ASF header object's GUID, then filler.
    const QByteArray asf = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C") + QByteArray(4096, '\x11');
    const QByteArray avi = QByteArray("RIFF\x00\x10\x00\x00" "AVI LIST", 16) + QByteArray(4096, '\x22');
    QByteArray noise(64 * 1024, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + 13) % 251);
    for (const std::string& bad :
         {dir.filePath("missing.wav").toStdString(), Write("song.wma", asf), Write("clip.avi", avi),
          Write("empty.mp3", QByteArray()), Write("noise.mid", noise), dir.path().toStdString(), std::string()}) {
        EXPECT_NE(PlayToEnd(device, bad), "") << bad;
    }
    // The bytes that carry only a MIDI name are refused before any load, as is a MIDI file
    // too large to be a song (never read: a sparse file).
    EXPECT_FALSE(device.Open(Write("noise2.mid", noise)));
    EXPECT_NE(device.Failure(), "");
    QFile huge(dir.filePath("huge.mid"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(MakeMidi());
    ASSERT_TRUE(huge.resize(kMaxMidiBytes + 1));
    huge.close();
    EXPECT_FALSE(device.Open(huge.fileName().toStdString()));
    EXPECT_NE(device.Failure().find("大きすぎ"), std::string::npos) << device.Failure();

    EXPECT_EQ(PlayToEnd(device, Write("ok.wav", MakeWav(0.1))), "") << "a good file after bad ones";
    ASSERT_TRUE(device.Open(Write("ok.wav", MakeWav(0.1))));
    EXPECT_FALSE(device.Open(Write("ok2.wav", MakeWav(0.1)))) << "one file at a time";
    device.Close();
}

TEST_F(SdlMusicTest, ASlowLoadNeitherBlocksNorLosesPlayOrPause) {
    const std::string wav = Write("slow.wav", MakeWav(0.3));
    device.SetLoadDelayForTest(1500);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(device.Open(wav));
    ASSERT_TRUE(device.Play());
    EXPECT_LT(timer.elapsed(), 500) << "Open and Play wait for no load";
    EXPECT_EQ(device.Status(), "playing");
    ASSERT_TRUE(device.Pause());
    EXPECT_EQ(device.Status(), "paused");
    QThread::msleep(2300);  // loaded meanwhile, and held paused
    EXPECT_EQ(device.Status(), "paused") << device.Failure();
    ASSERT_TRUE(device.Resume());
    EXPECT_EQ(WaitForEnd(device, 5000), "stopped");
    EXPECT_GE(timer.elapsed(), 1500 + 200) << "it played after its load";
    EXPECT_EQ(device.Failure(), "");
    device.Close();

    // Closed while it loads: nothing plays later, and the next file opens at once.
    ASSERT_TRUE(device.Open(wav));
    ASSERT_TRUE(device.Play());
    device.Close();
    device.SetLoadDelayForTest(0);
    EXPECT_EQ(PlayToEnd(device, wav), "");
}

TEST_F(SdlMusicTest, ALoadThatDoesNotFinishIsGivenUp) {
    device.SetLoadDelayForTest(kLoadGiveUpMs + 1500);
    const std::string wav = Write("stuck.wav", MakeWav(0.2));
    QElapsedTimer timer;
    timer.start();
    const std::string failure = PlayToEnd(device, wav);
    EXPECT_NE(failure, "");
    EXPECT_GE(timer.elapsed(), kLoadGiveUpMs);
    EXPECT_LT(timer.elapsed(), kLoadGiveUpMs + 1000) << "given up on before the load ended";
    // The abandoned load runs out in the background while other music plays.
    device.SetLoadDelayForTest(0);
    EXPECT_EQ(PlayToEnd(device, Write("next.wav", MakeWav(2.0))), "");
}

TEST_F(SdlMusicTest, OggFlacMp3AndMidiPlay) {
    for (const QString& name : {QStringLiteral("tone.ogg"), QStringLiteral("tone.flac"), QStringLiteral("tone.mp3")}) {
        const std::string file = SoxFile(name);
        if (file.empty()) {
            ADD_FAILURE() << "sox cannot write " << name.toStdString();
            continue;
        }
        ASSERT_TRUE(device.Open(file)) << file;
        ASSERT_TRUE(device.Play()) << file;
        EXPECT_EQ(WaitForEnd(device, 5000), "stopped") << file;
        device.Close();
    }
    if (!QFile::exists(QString::fromUtf8(kDefaultSoundFont))) GTEST_SKIP() << "no SoundFont for MIDI";
    // MIDI rings out for seconds after its last note; playing and stopping is enough here.
    ASSERT_TRUE(device.Open(Write("tone.mid", MakeMidi())));
    ASSERT_TRUE(device.Play());
    EXPECT_EQ(device.Status(), "playing");
    device.Stop();
    EXPECT_EQ(device.Status(), "stopped");
    device.Close();
}

// A MIDI file of n notes of a quarter second each.
QByteArray MakeMidiNotes(int n) {
    QByteArray track;
    for (int i = 0; i < n; ++i) track += QByteArray::fromHex("00904564") + QByteArray::fromHex("308045") + QByteArray(1, '\0');
    track += QByteArray::fromHex("00FF2F00");
    QByteArray file = QByteArray("MThd\0\0\0\6\0\0\0\1\0\x60MTrk", 18);
    const auto size = static_cast<quint32>(track.size());
    for (int shift : {24, 16, 8, 0}) file += char((size >> shift) & 0xFF);
    return file + track;
}

TEST_F(SdlMusicTest, MidiSongsShareOneSoundFontPlayInRealTimeAndPause) {
    if (!QFile::exists(QString::fromUtf8(kDefaultSoundFont))) GTEST_SKIP() << "no SoundFont";
    MidiSong::ReleaseIdleSynthNow();
    const int loads = MidiSong::SoundFontLoads();
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(PlayToEnd(device, Write("song.mid", MakeMidiNotes(2))), "");
    EXPECT_GE(timer.elapsed(), 450) << "two quarter-second notes, rendered in real time";

    // The next song, paused and resumed, stopped and started again, on the same SoundFont.
    ASSERT_TRUE(device.Open(Write("next.mid", MakeMidiNotes(2))));
    ASSERT_TRUE(device.Play());
    QThread::msleep(300);
    ASSERT_TRUE(device.Pause());
    EXPECT_EQ(device.Status(), "paused");
    QThread::msleep(1000);
    EXPECT_EQ(device.Status(), "paused") << "a paused song does not run on";
    ASSERT_TRUE(device.Resume());
    EXPECT_EQ(device.Status(), "playing");
    device.Stop();
    EXPECT_EQ(device.Status(), "stopped");
    ASSERT_TRUE(device.Play()) << "from the start again";
    EXPECT_EQ(device.Status(), "playing");
    device.Close();
    EXPECT_EQ(MidiSong::SoundFontLoads(), loads + 1) << "the SoundFont is read once for both";

    // A MIDI header over a track that runs past the file's end: refused, never playing.
    QByteArray broken = MakeMidiNotes(2);
    broken.chop(6);
    EXPECT_NE(PlayToEnd(device, Write("broken.mid", broken)), "");
    EXPECT_EQ(MidiSong::SoundFontLoads(), loads + 1);
}

TEST_F(SdlMusicTest, MusicAlarmPlaysToItsEndThenThePollEndsIt) {
    ClockState state;
    AlarmTables tables;
    tables.AlarmSetting[4] = AlarmValue::Make(6, 45, 0, kAlarmSoundMusic).Packed();
    tables.AlarmFile[4] = Write("alarm.wav", MakeWav(0.3));
    NoMidiOutput midi;
    MidiChime signalChime(midi), alarmChime(midi);
    MusicEngine music(device, state);
    SettableClock clock(LocalDateTime::FromCivil(2026, 6, 4, 6, 45, 0));
    int buttons = 0;
    bool buttonPlaying = false;
    music.AddButtonListener([&](bool playing) { ++buttons, buttonPlaying = playing; });
    SignalControl control(state, tables, signalChime, alarmChime, music, [&] { return clock.Now(); });

    control.AlarmControl(6 * 3600 + 45 * 60);
    EXPECT_EQ(state.AlarmIndex, 4);
    EXPECT_EQ(state.MusicPlayMode, kPlayModeAlarm);
    EXPECT_EQ(music.MusicStatus(), "playing");
    EXPECT_TRUE(buttonPlaying);

    // The tick's poll, once a second (here every 50 ms), until the music has ended.
    QElapsedTimer timer;
    timer.start();
    std::int32_t second = 6 * 3600 + 45 * 60;
    while (state.AlarmIndex != -1 && timer.elapsed() < 5000) {
        QThread::msleep(50);
        clock.Advance(1.0);
        control.AlarmControl(++second);
        if (state.MusicPlayMode > 0 && music.MusicStatus() == "stopped") {
            music.PlayMusic("", 0);
            state.AlarmIndex = -1;
        }
    }
    EXPECT_EQ(state.AlarmIndex, -1);
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(music.MusicStatus(), "") << "the device is closed";
    EXPECT_FALSE(buttonPlaying);
    EXPECT_EQ(buttons, 2);
}

TEST_F(SdlMusicTest, TheEngineTellsAFailedLoadOnceAndGoesIdle) {
    ClockState state;
    MusicEngine music(device, state);
    std::vector<std::string> told;
    music.SetFailureListener([&](const std::string& file, const std::string& why) { told.push_back(file + ": " + why); });
    bool buttonPlaying = false;
    music.AddButtonListener([&](bool playing) { buttonPlaying = playing; });

    const std::string wma = Write("song.wma", QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C") + QByteArray(4096, '\x11'));
    music.PlayMusic(wma, kPlayModeUser);
    EXPECT_TRUE(buttonPlaying) << "a load under way shows as playing";
    // The tick's poll, once a second (here every 50 ms).
    QElapsedTimer timer;
    timer.start();
    while (state.MusicPlayMode > 0 && timer.elapsed() < 3000) {
        QThread::msleep(50);
        if (music.MusicStatus() == "stopped") music.PlayMusic("", 0);
    }
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_FALSE(buttonPlaying) << "the play button is back at play";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].rfind(wma, 0), 0u) << told[0];

    music.PlayMusic(Write("none.mid", QByteArray("not midi")), kPlayModeAlarm);
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop) << "refused at once, never shown as playing";
    EXPECT_EQ(told.size(), 2u);
    // Music that plays to its end is no failure.
    music.PlayMusic(Write("ok.wav", MakeWav(0.2)), kPlayModeUser);
    timer.restart();
    while (state.MusicPlayMode > 0 && timer.elapsed() < 3000) {
        QThread::msleep(50);
        if (music.MusicStatus() == "stopped") music.PlayMusic("", 0);
    }
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_EQ(told.size(), 2u);
}

}  // namespace
}  // namespace vireo
