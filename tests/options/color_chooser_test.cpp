#include "options/ColorChooser.h"

#include <QColorDialog>
#include <QWidget>
#include <gtest/gtest.h>

#include "TempConfigHome.h"

namespace vireo {
namespace {

class ColorChooserTest : public ::testing::Test {
protected:
    void TearDown() override { SetColorDialogRunner({}); }
    TempConfigHome home;  // Qt keeps custom colours in its own settings file
    QWidget owner;
};

TEST_F(ColorChooserTest, OpensOwnDialogOnTheInitialColourAndReturnsRedInTheLowByte) {
    QColor shown;
    bool nonNative = false;
    QWidget* parent = nullptr;
    SetColorDialogRunner([&](QColorDialog& dialog) {
        shown = dialog.currentColor();
        nonNative = dialog.testOption(QColorDialog::DontUseNativeDialog);
        parent = dialog.parentWidget();
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
        return true;
    });
    EXPECT_EQ(SelectColor(0x0080FF, &owner), 0x563412);
    EXPECT_EQ(shown, QColor(0xFF, 0x80, 0x00)) << "0x0080FF is orange: red 255, green 128";
    EXPECT_TRUE(nonNative);
    EXPECT_EQ(parent, &owner);
}

TEST_F(ColorChooserTest, CancelGivesMinusOneAndWhiteAndBlackAreColours) {
    SetColorDialogRunner([](QColorDialog& dialog) {
        dialog.setCurrentColor(Qt::red);
        return false;
    });
    EXPECT_EQ(SelectColor(0xFFFFFF, &owner), kColorCancelled);

    SetColorDialogRunner([](QColorDialog& dialog) {
        dialog.setCurrentColor(Qt::white);
        return true;
    });
    EXPECT_EQ(SelectColor(0, &owner), 0xFFFFFF);
    SetColorDialogRunner([](QColorDialog& dialog) {
        dialog.setCurrentColor(Qt::black);
        return true;
    });
    EXPECT_EQ(SelectColor(0xFFFFFF, &owner), 0);
}

TEST_F(ColorChooserTest, CustomColoursAreForgottenBeforeAndAfterEachCall) {
    QColorDialog::setCustomColor(3, Qt::red);
    QColor seenAtThree;
    SetColorDialogRunner([&](QColorDialog&) {
        seenAtThree = QColorDialog::customColor(3);
        QColorDialog::setCustomColor(5, Qt::blue);  // the user defines one
        return true;
    });
    SelectColor(0, &owner);
    EXPECT_EQ(seenAtThree, QColor(Qt::black));
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::black)) << "custom colour " << i;
}

TEST_F(ColorChooserTest, OnlyColoursBetweenBlackAndWhiteAreResults) {
    EXPECT_EQ(ColorChoiceResult(false, 0x123456), kColorCancelled);
    EXPECT_EQ(ColorChoiceResult(true, 0xFFFFFF), 0xFFFFFF);
    EXPECT_EQ(ColorChoiceResult(true, 0), 0);
    EXPECT_EQ(ColorChoiceResult(true, 0x1000000), kColorInvalid);
    // A system colour's top bit is no colour of the chooser either.
    EXPECT_EQ(ColorChoiceResult(true, static_cast<std::int32_t>(0x80000005u)), kColorInvalid);
}

}  // namespace
}  // namespace vireo
