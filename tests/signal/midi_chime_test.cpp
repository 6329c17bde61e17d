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

TEST_F(MidiChimeTest, OpenSelectsInstrumentAfterTheDeviceOpensAndAvailabilityIsAskedOnce) {
    MidiChime chime = MakeChime();
    EXPECT_TRUE(chime.MidiAvailable());
    chime.MidiOpen(14);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(14)}));
    EXPECT_TRUE(chime.IsOpen());

    output.devices = 0;  // later changes are not seen: decided once at start-up
    chime.MidiClose();
    chime.MidiOpen(74);
    EXPECT_EQ(output.deviceCountCalls, 1);
    EXPECT_EQ(output.log.back(), ProgramLine(74));
}

TEST_F(MidiChimeTest, NoDeviceOrFailedOpenMakesEverythingSilent) {
    output.devices = 0;
    MidiChime none = MakeChime();
    EXPECT_FALSE(none.MidiAvailable());
    none.MidiOpen(14);
    EXPECT_TRUE(output.log.empty()) << "open must not be attempted without a device";

    output.devices = 1;
    output.failOpen = true;
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
    chime.MidiOpen(74);  // the pips ask first
    chime.MidiOpen(14);  // a chime alarm in the same second
    EXPECT_EQ(output.devicesCreated, 1);
    EXPECT_EQ(output.log, (Log{"open", ProgramLine(74), ProgramLine(14)}))
        << "the last opener's instrument is the one selected";
    chime.MidiClose();
    EXPECT_FALSE(output.IsOpen());
    EXPECT_FALSE(chime.IsOpen());
}

}  // namespace
}  // namespace vireo
