#include "music/MusicEngine.h"

#include "SoundFakes.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

using testing::FakeMusicDevice;
using Log = std::vector<std::string>;

class MusicEngineTest : public ::testing::Test {
protected:
    ClockState state;
    FakeMusicDevice device;
    MusicEngine music{device, state};
    std::vector<bool> readout;
    std::vector<bool> buttons;

    void SetUp() override {
        device.playable = {"/m/1.wav", "/m/2.mp3", "/m/3.ogg", "/m/new.flac"};
        music.SetReadoutListener([this](bool playing) { readout.push_back(playing); });
        music.AddButtonListener([this](bool playing) { buttons.push_back(playing); });
    }
    void StartWithMode(int mode) {
        if (mode > 0) music.PlayMusic("/m/" + std::to_string(mode) + (mode == 1 ? ".wav" : mode == 2 ? ".mp3" : ".ogg"), mode);
        device.log.clear();
        readout.clear();
        buttons.clear();
    }
};

// Every pair of the mode playing and the mode asked for, with a file that opens.
TEST_F(MusicEngineTest, ArbitrationByPlayMode) {
    for (int current = 0; current <= 3; ++current) {
        for (int request = 0; request <= 3; ++request) {
            SCOPED_TRACE("playing " + std::to_string(current) + ", asked " + std::to_string(request));
            music.PlayMusic("", 0);
            StartWithMode(current);
            const std::string previous = device.OpenFile();
            music.PlayMusic("/m/new.flac", request);

            const bool refused = current > request && request > 0;
            Log expected;
            if (!refused && current > 0) expected = {"stop", "close"};
            if (!refused && request > 0) expected.insert(expected.end(), {"open /m/new.flac", "play"});
            EXPECT_EQ(device.log, expected);
            if (refused) {
                EXPECT_EQ(state.MusicPlayMode, current);
                EXPECT_EQ(device.OpenFile(), previous);
                EXPECT_TRUE(buttons.empty()) << "a refused request changes no button";
                EXPECT_TRUE(readout.empty());
            } else {
                EXPECT_EQ(state.MusicPlayMode, request);
                EXPECT_EQ(buttons, (std::vector<bool>{request > 0}));
                if (request > 0)
                    EXPECT_EQ(readout, (std::vector<bool>{true}));
                else if (current > 0)
                    EXPECT_EQ(readout, (std::vector<bool>{false}));
                else
                    EXPECT_TRUE(readout.empty()) << "nothing played, nothing to undo";
            }
        }
    }
}

TEST_F(MusicEngineTest, EmptyNameIsAStopWhateverTheMode) {
    StartWithMode(2);
    music.PlayMusic("", 3);
    EXPECT_EQ(device.log, (Log{"stop", "close"}));
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(buttons, (std::vector<bool>{false}));

    StartWithMode(0);
    music.PlayMusic("", 1);
    EXPECT_TRUE(device.log.empty()) << "a stop with nothing playing sends nothing";
    EXPECT_EQ(buttons, (std::vector<bool>{false})) << "but sets the buttons idle";
}

TEST_F(MusicEngineTest, StrayModesCountAsTheNearestOne) {
    music.PlayMusic("/m/1.wav", 9);
    EXPECT_EQ(state.MusicPlayMode, 3);
    music.PlayMusic("/m/3.ogg", 3);
    EXPECT_EQ(device.OpenFile(), "/m/3.ogg") << "the user may still replace it";
    music.PlayMusic("/m/2.mp3", -4);
    EXPECT_EQ(state.MusicPlayMode, 0) << "a negative mode is a stop";
}

TEST_F(MusicEngineTest, ReplacementThatFailsToOpenLeavesSilence) {
    StartWithMode(2);
    music.PlayMusic("/m/missing.wma", 3);
    EXPECT_EQ(device.log, (Log{"stop", "close", "open /m/missing.wma"}));
    EXPECT_EQ(state.MusicPlayMode, 0);
    EXPECT_EQ(readout, (std::vector<bool>{false}));
    EXPECT_EQ(buttons, (std::vector<bool>{false}));
    EXPECT_EQ(music.MusicStatus(), "");
}

TEST_F(MusicEngineTest, StatusPauseAndResume) {
    EXPECT_EQ(music.MusicStatus(), "");
    EXPECT_FALSE(music.PauseMusic());
    StartWithMode(3);
    EXPECT_EQ(music.MusicStatus(), "playing");
    EXPECT_FALSE(music.ResumeMusic());
    EXPECT_TRUE(music.PauseMusic());
    EXPECT_EQ(music.MusicStatus(), "paused");
    EXPECT_EQ(state.MusicPlayMode, 3) << "paused music still owns the device";
    device.refuseResume = true;
    EXPECT_TRUE(music.ResumeMusic());
    EXPECT_EQ(device.log, (Log{"pause", "resume", "play"})) << "a refused resume falls back to play";
    EXPECT_EQ(music.MusicStatus(), "playing");
    device.Finish();
    EXPECT_EQ(music.MusicStatus(), "stopped");
}

TEST_F(MusicEngineTest, ButtonsMayComeAndGoDuringANotification) {
    std::vector<std::string> calls;
    MusicEngine::ListenerId second = 0;
    const MusicEngine::ListenerId first = music.AddButtonListener([&](bool) {
        calls.push_back("first");
        music.RemoveButtonListener(second);  // a dialog closing another one
    });
    second = music.AddButtonListener([&](bool) { calls.push_back("second"); });
    const MusicEngine::ListenerId third = music.AddButtonListener([&](bool) {
        calls.push_back("third");
        music.RemoveButtonListener(third);  // and one closing itself
    });
    music.PlayMusic("/m/3.ogg", 3);
    EXPECT_EQ(calls, (Log{"first", "third"}));
    calls.clear();
    music.RemoveButtonListener(first);
    music.PlayMusic("", 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(buttons, (std::vector<bool>{true, false})) << "the fixture's own button saw both";
}

TEST(MusicTextsTest, ButtonAndReadoutTexts) {
    EXPECT_EQ(PlayButtonCaption(false), "4");
    EXPECT_EQ(PlayButtonCaption(true), "<");
    EXPECT_EQ(PlayButtonToolTip(false), "再生");
    EXPECT_EQ(PlayButtonToolTip(true), "停止");
    EXPECT_EQ(ReadoutToolTip(true), "クリックすると音楽を停止");
    EXPECT_EQ(ReadoutToolTip(false), "");
    EXPECT_EQ(PlayButtonFont(), "Webdings");
}

}  // namespace
}  // namespace vireo
