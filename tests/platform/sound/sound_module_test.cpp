// The program's sound backends as it uses them: loaded from the vireo-sound module only at
// the first sound, so that nothing of FluidSynth or SDL is mapped before. This binary links
// neither library; ctest runs it once with the module and once with none to be found.

#include "music/MusicEngine.h"
#include "platform/SoundBackends.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "TestAudioFiles.h"

namespace vireo {
namespace {

// Whether this process has a library whose file name contains the text mapped.
bool Mapped(const std::string& text) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

TEST(SoundModule, LoadsAtTheFirstSoundAndPlaysThroughIt) {
    setenv("VIREO_SOUND_MODULE", VIREO_SOUND_MODULE_FILE, 1);
    auto midi = NewSoundModuleMidiOutput();
    auto device = NewSoundModuleMusicDevice();
    ClockState state;
    MusicEngine music(*device, state);
    // Made, even told to stop and close: still nothing loaded.
    music.PlayMusic("", kPlayModeStop);
    midi->Close();
    EXPECT_FALSE(midi->IsOpen());
    EXPECT_FALSE(SoundModuleLoaded());
    EXPECT_FALSE(Mapped("libfluidsynth")) << "linked, not loaded";
    EXPECT_FALSE(Mapped("libSDL2"));

    QTemporaryDir dir;
    QFile wav(dir.filePath("tone.wav"));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(test::MakeWav(0.3));
    wav.close();
    music.PlayMusic(wav.fileName().toStdString(), kPlayModeUser);
    EXPECT_TRUE(SoundModuleLoaded()) << SoundModuleError();
    EXPECT_EQ(state.MusicPlayMode, kPlayModeUser);
    EXPECT_TRUE(Mapped("libSDL2_mixer"));
    QElapsedTimer timer;
    timer.start();
    while (music.MusicStatus() == "playing" && timer.elapsed() < 5000) QThread::msleep(10);
    EXPECT_EQ(music.MusicStatus(), "stopped") << "played to its end";
    EXPECT_GE(timer.elapsed(), 200);
    EXPECT_EQ(device->Failure(), "");
    music.PlayMusic("", kPlayModeStop);
}

TEST(SoundModule, WithoutTheModuleTheClockIsSilentAndSaysWhy) {
    const char* named = std::getenv("VIREO_SOUND_MODULE");
    ASSERT_TRUE(named && !QFile::exists(QString::fromUtf8(named))) << "run with VIREO_SOUND_MODULE naming no file";
    auto midi = NewSoundModuleMidiOutput();
    auto device = NewSoundModuleMusicDevice();
    EXPECT_EQ(midi->DeviceCount(), 0);
    EXPECT_FALSE(midi->Open());
    midi->ShortMsg(PackMidiMessage(0x90, 60, 100));  // harmless
    EXPECT_FALSE(SoundModuleLoaded());
    EXPECT_NE(SoundModuleError(), "");

    ClockState state;
    MusicEngine music(*device, state);
    std::string told;
    music.SetFailureListener([&](const std::string&, const std::string& why) { told = why; });
    music.PlayMusic("/any/file.wav", kPlayModeAlarm);
    EXPECT_EQ(state.MusicPlayMode, kPlayModeStop);
    EXPECT_NE(told.find("音声の部品"), std::string::npos) << told;
}

}  // namespace
}  // namespace vireo
