#include "signal/MidiChime.h"

#include "SoundFakes.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

using testing::NoteOffLine;
using testing::NoteOnLine;
using testing::ProgramLine;
using testing::RecordingMidiOutput;
using Log = std::vector<std::string>;

class MidiChimeTest : public ::testing::Test {
protected:
    RecordingMidiOutput output;
    MidiChime MakeChime() {
        return MidiChime(output, [this](int ms) { output.log.push_back("sleep " + std::to_string(ms)); });
    }
};

TEST_F(MidiChimeTest, OpenSelectsInstrumentAfterTheDeviceOpensAndAvailabilityFollowsTheDevice) {
    MidiChime chime = MakeChime();
    EXPECT_TRUE(chime.MidiAvailable());
    chime.MidiOpen(14);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14)}));
    EXPECT_TRUE(chime.IsOpen());

    output.devices = 0;  // the sound server went away
    EXPECT_TRUE(chime.MidiAvailable()) << "the device held open still sounds";
    chime.MidiClose();
    EXPECT_FALSE(chime.MidiAvailable());
    output.devices = 1;  // and came back (or came up after log-in)
    EXPECT_TRUE(chime.MidiAvailable());
    chime.MidiOpen(74);
    EXPECT_EQ(output.log.back(), ProgramLine(74));
}

TEST_F(MidiChimeTest, NoDeviceOrFailedOpenMakesEverythingSilent) {
    for (bool noDevice : {true, false}) {
        output.devices = noDevice ? 0 : 1;
        output.failOpen = !noDevice;
        output.log.clear();
        MidiChime failing = MakeChime();
        failing.MidiOpen(14);
        EXPECT_EQ(output.log, (Log{"open"})) << "no program change after a failed open";
        EXPECT_FALSE(failing.IsOpen());
        failing.MidiChimeNote(0);
        failing.MidiStrike();
        failing.MidiShortPip();
        failing.MidiLongPip(true);
        failing.MidiLongPip(false);
        failing.MidiClose();
        EXPECT_EQ(output.log, (Log{"open"})) << "nothing is sent, and the short pip does not wait";
    }
}

TEST_F(MidiChimeTest, ChimeStepsPlayTheFourPhrasesWithRestsBetween) {
    MidiChime chime = MakeChime();
    chime.MidiOpen(14);
    const int F = 65, A = 69, G = 67, C = 60;
    const std::vector<int> phrases = {F, A, G, C, 0, F, G, A, F, 0, A, F, G, C, 0, C, G, A, F};
    for (int step = 0; step < 19; ++step) {
        output.log.clear();
        chime.MidiChimeNote(static_cast<std::int16_t>(step));
        if (phrases[step] == 0)
            EXPECT_EQ(output.log, (Log{"reset"})) << "step " << step;
        else
            EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(phrases[step])})) << "step " << step;
    }
    for (int outside : {-1, 19, 20, 1000}) {
        output.log.clear();
        chime.MidiChimeNote(static_cast<std::int16_t>(outside));
        EXPECT_EQ(output.log, (Log{"reset"})) << "step " << outside;
    }
}

TEST_F(MidiChimeTest, StrikeAndPipsSendExactMessages) {
    MidiChime chime = MakeChime();
    chime.MidiOpen(74);
    output.log.clear();

    chime.MidiStrike();
    EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(60), NoteOnLine(65), NoteOnLine(69)}));
    output.log.clear();

    chime.MidiShortPip();
    EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(69), "sleep 100", NoteOffLine(69)}));
    output.log.clear();

    chime.MidiLongPip(true);
    EXPECT_EQ(output.log, (Log{"reset", NoteOnLine(81)}));
    output.log.clear();

    chime.MidiLongPip(false);
    EXPECT_EQ(output.log, (Log{NoteOffLine(81)})) << "ending the long pip sends no reset";
    // The packed layout itself: status low byte, note, velocity.
    EXPECT_EQ(NoteOnLine(69), "msg 7F4590");
    EXPECT_EQ(NoteOffLine(81), "msg 005180");
    EXPECT_EQ(ProgramLine(14), "msg 000EC0");
}

TEST_F(MidiChimeTest, CloseSilencesAndLaterCallsSendNothing) {
    MidiChime chime = MakeChime();
    chime.MidiOpen(14);
    output.log.clear();
    chime.MidiClose();
    EXPECT_EQ(output.log, (Log{"reset", "close"}));
    EXPECT_FALSE(chime.IsOpen());
    chime.MidiChimeNote(0);
    chime.MidiStrike();
    chime.MidiShortPip();
    chime.MidiLongPip(false);
    chime.MidiClose();
    EXPECT_EQ(output.log, (Log{"reset", "close"}));
}

TEST_F(MidiChimeTest, SecondOpenReusesTheDeviceSoOneCloseLeavesNoneOpen) {
    MidiChime chime = MakeChime();
    chime.MidiOpen(74);
    chime.MidiOpen(14);
    EXPECT_EQ(output.devicesCreated, 1);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(74), ProgramLine(14)}));
    chime.MidiClose();
    EXPECT_FALSE(output.IsOpen());
    EXPECT_FALSE(chime.IsOpen());
}

// The time signal and a chime alarm in the same minute: each on its own channel, neither
// resets, reprograms nor closes the other's.
TEST_F(MidiChimeTest, TwoChimesShareTheOutputOnTheirOwnChannels) {
    SharedMidiOutput shared(output);
    auto sleep = [this](int ms) { output.log.push_back("sleep " + std::to_string(ms)); };
    MidiChime signal(shared, kTimeSignalChannel, sleep);
    MidiChime alarm(shared, kAlarmChannel, sleep);
    alarm.MidiOpen(14);
    signal.MidiOpen(74);
    EXPECT_EQ(output.devicesCreated, 1);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14, 1), ProgramLine(74, 0)}));
    output.log.clear();
    alarm.MidiChimeNote(0);
    signal.MidiLongPip(true);
    EXPECT_EQ(output.log, (Log{"reset ch2", NoteOnLine(65, 1), "reset", NoteOnLine(81, 0)}));
    output.log.clear();
    signal.MidiClose();
    EXPECT_EQ(output.log, (Log{"reset"})) << "the alarm still holds the device";
    EXPECT_TRUE(output.IsOpen());
    alarm.MidiChimeNote(1);
    alarm.MidiClose();
    EXPECT_EQ(output.log, (Log{"reset", "reset ch2", NoteOnLine(69, 1), "reset ch2", "close"}));
    EXPECT_FALSE(output.IsOpen());
}

}  // namespace
}  // namespace vireo
