#include "platform/DialogPlacement.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

// A 1280 × 1000 work area below a 24-pixel top panel.
const QRect kWork(0, 24, 1280, 1000);
const QSize kDialog(305, 320);

TEST(PlaceBesideClock, BesideTheClockOnTheRightOrElseOnTheLeft) {
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(100, 200, 200, 250), true, kDialog,
                               DialogVerticalRule::TopAligned),
              QPoint(300, 200));
    // Touching the right edge exactly still fits.
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(775, 200, 200, 250), true, kDialog,
                               DialogVerticalRule::TopAligned),
              QPoint(975, 200));
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(776, 200, 200, 250), true, kDialog,
                               DialogVerticalRule::TopAligned),
              QPoint(471, 200));
}

TEST(PlaceBesideClock, VerticallyKeptInsideTheWorkArea) {
    // Centred on a clock near the top would reach above the panel.
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(100, 30, 200, 100), true, kDialog,
                               DialogVerticalRule::Centred),
              QPoint(300, 24));
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(100, 300, 200, 100), true, kDialog,
                               DialogVerticalRule::Centred),
              QPoint(300, 190));
    // Near the bottom: moved up to end at the work area's bottom.
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(100, 900, 200, 100), true, kDialog,
                               DialogVerticalRule::TopAligned),
              QPoint(300, 1024 - 320));
}

TEST(PlaceBesideClock, WithRoomOnNeitherSideOrAboveAndBelowItStaysOnTheWorkArea) {
    // A 800 × 500 work area (1600 × 1000 at scale 2) and a clock in its middle.
    const QRect work(0, 0, 800, 476);
    const QRect clock(300, 150, 200, 181);
    const QSize tall(420, 560);
    const QPoint at = PlaceBesideClock(work, clock, true, tall, DialogVerticalRule::TopAligned);
    EXPECT_GE(at.x(), 0);
    EXPECT_LE(at.x() + tall.width(), 800);
    EXPECT_EQ(at.y(), 0) << "the title bar stays on the screen";
    const QPoint under = PlaceUnderClock(work, QRect(300, 100, 200, 181), true, QSize(300, 400));
    EXPECT_GE(under.y(), 0);
    EXPECT_LE(under.y() + 400, 476);
}

TEST(PlaceBesideClock, AMinimisedOrMaximisedClockCentresTheDialogOnTheWorkArea) {
    const QPoint centred(487, 24 + 340);
    EXPECT_EQ(PlaceBesideClock(kWork, QRect(0, 0, 1280, 1024), false, kDialog,
                               DialogVerticalRule::TopAligned),
              centred);
    EXPECT_EQ(PlaceUnderClock(kWork, QRect(5000, 5000, 10, 10), false, kDialog), centred);
}

TEST(PlaceUnderClock, CentredUnderTheClockAboveWhenThereIsNoRoomBelow) {
    EXPECT_EQ(PlaceUnderClock(kWork, QRect(400, 100, 200, 250), true, kDialog), QPoint(348, 350));
    EXPECT_EQ(PlaceUnderClock(kWork, QRect(400, 800, 200, 200), true, kDialog), QPoint(348, 480));
    // Kept inside the work area sideways.
    EXPECT_EQ(PlaceUnderClock(kWork, QRect(0, 100, 100, 100), true, kDialog).x(), 0);
    EXPECT_EQ(PlaceUnderClock(kWork, QRect(1200, 100, 80, 100), true, kDialog).x(), 1280 - 305);
}

}  // namespace
TEST(StateIndexOf, MinimisedWinsAndFullScreenCountsAsMaximised) {
    EXPECT_EQ(StateIndexOf(Qt::WindowNoState), WindowStateIndex::Normal);
    EXPECT_EQ(StateIndexOf(Qt::WindowActive), WindowStateIndex::Normal);
    EXPECT_EQ(StateIndexOf(Qt::WindowMaximized), WindowStateIndex::Maximized);
    EXPECT_EQ(StateIndexOf(Qt::WindowFullScreen), WindowStateIndex::Maximized);
    EXPECT_EQ(StateIndexOf(Qt::WindowMinimized | Qt::WindowMaximized), WindowStateIndex::Minimized);
    EXPECT_EQ(StateIndexOf(Qt::WindowMinimized | Qt::WindowFullScreen), WindowStateIndex::Minimized);
    // The numbers the settings keep and the menu's items carry.
    EXPECT_EQ(static_cast<int>(WindowStateIndex::Minimized), 1);
    EXPECT_EQ(static_cast<int>(WindowStateIndex::Maximized), 2);
}

}  // namespace vireo
