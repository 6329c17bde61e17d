#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ephemeris/EphemerisComponent.h"
#include "ephemeris/dialog/ObserverDialog.h"
#include "ephemeris/ObserverInput.h"

namespace vireo {
namespace {

TEST(ObserverInput, ParsesDecimalsOnly) {
    EXPECT_EQ(ParseDecimal(" 35.6544 "), 35.6544);
    EXPECT_EQ(ParseDecimal("-0.5"), -0.5);
    EXPECT_EQ(ParseDecimal("+9"), 9.0);
    EXPECT_EQ(ParseDecimal("12."), 12.0);
    for (const char* bad : {"", " ", "1e3", "nan", "inf", "1,5", "--1", "1-", "０", "9h", "."}) {
        EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
    }
}

TEST(ObserverInput, RangesAndMessages) {
    ObserverValues v;
    EXPECT_FALSE(CheckObserverInput("90", "-180", "10000", "14", &v).has_value());
    EXPECT_EQ(v.latitude, 90.0);
    EXPECT_EQ(v.timeZone, 14.0f);
    struct Case { const char *lat, *lon, *h, *z; ObserverField field; const char* word; };
    const Case cases[] = {
        {"90.01", "0", "0", "0", ObserverField::Latitude, "緯度"},
        {"abc", "0", "0", "0", ObserverField::Latitude, "緯度"},
        {"0", "180.5", "0", "0", ObserverField::Longitude, "経度"},
        {"0", "0", "-1", "0", ObserverField::Height, "標高"},
        {"0", "0", "10001", "0", ObserverField::Height, "標高"},
        {"0", "0", "0", "-12.5", ObserverField::TimeZone, "時差"},
        {"0", "0", "0", "", ObserverField::TimeZone, "時差"},
    };
    for (const Case& c : cases) {
        ObserverValues untouched{1, 2, 3, 4};
        const auto error = CheckObserverInput(c.lat, c.lon, c.h, c.z, &untouched);
        ASSERT_TRUE(error.has_value()) << c.lat << c.lon << c.h << c.z;
        EXPECT_EQ(error->field, c.field);
        EXPECT_NE(error->message.find(c.word), std::string::npos) << error->message;
        EXPECT_EQ(untouched.latitude, 1);  // nothing taken on a refusal
    }
}

TEST(ObserverDialog, LabelsAndFullWidthInput) {
    ObserverDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("観測地点"));
    EXPECT_EQ(dialog.Command2->text(), QStringLiteral("キャンセル"));
    dialog.SetValues({35.6544, 139.7447, 0.0, 9.0f});
    EXPECT_EQ(dialog.Text1->text(), "35.6544");
    EXPECT_EQ(dialog.Text4->text(), "9");
    // What a Japanese input method types: full-width digits, point and minus.
    dialog.Text1->setText(QStringLiteral("４３．０６"));
    dialog.Text2->setText(QStringLiteral("１４１．３５"));
    dialog.Text3->setText(QStringLiteral("２０"));
    dialog.Text4->setText(QStringLiteral("−３．５"));
    QStringList errors;
    dialog.SetErrorSink([&](const QString& m) { errors << m; });
    dialog.Command1->click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().latitude, 43.06);
    EXPECT_EQ(dialog.Values().longitude, 141.35);
    EXPECT_EQ(dialog.Values().height, 20.0);
    EXPECT_EQ(dialog.Values().timeZone, -3.5f);
}

TEST(ObserverDialog, RefusesOutOfRangeAndStaysOpen) {
    ObserverDialog dialog;
    dialog.SetValues({35.6544, 139.7447, 0.0, 9.0f});
    QStringList errors;
    dialog.SetErrorSink([&](const QString& m) { errors << m; });
    dialog.show();
    dialog.Text2->setText("200");
    dialog.Command1->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("経度")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().longitude, 139.7447);
}

// EditObserver itself, modal: the test drives the open dialog (and its message box) from
// timers, as a user would.
class EditObserverTest : public ::testing::Test {
protected:
    // Runs action on the dialog once it is the active modal widget.
    static void WhenDialogOpens(std::function<void(ObserverDialog*)> action) {
        QTimer::singleShot(0, [action] {
            auto* dialog = qobject_cast<ObserverDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            action(dialog);
        });
    }
};

TEST_F(EditObserverTest, OkWithNewValuesChangesTheObserver) {
    EphemerisComponent e(EditObserverInDialog);
    e.SetCurrentDate(45000.5);
    const double raBefore = e.RightAscension();
    WhenDialogOpens([](ObserverDialog* d) {
        d->Text1->setText("43.06");
        d->Text2->setText("141.35");
        d->Text3->setText("100");
        d->Text4->setText("9");
        d->Command1->click();
    });
    EXPECT_TRUE(e.EditObserver(nullptr));
    EXPECT_EQ(e.ObserverLatitude(), 43.06);
    EXPECT_EQ(e.ObserverLongitude(), 141.35);
    EXPECT_EQ(e.ObserverHeight(), 100.0);
    EXPECT_EQ(e.ObserverTimeZone(), 9.0f);
    EXPECT_FALSE(e.HoldUpdate());
    EXPECT_DOUBLE_EQ(e.RightAscension(), raBefore);  // same moment, same Sun
}

TEST_F(EditObserverTest, OkWithoutChangeAndCancelReturnFalse) {
    EphemerisComponent e(EditObserverInDialog);
    WhenDialogOpens([](ObserverDialog* d) { d->Command1->click(); });
    EXPECT_FALSE(e.EditObserver(nullptr));
    WhenDialogOpens([](ObserverDialog* d) {
        d->Text1->setText("10");
        d->Command2->click();
    });
    EXPECT_FALSE(e.EditObserver(nullptr));
    EXPECT_EQ(e.ObserverLatitude(), 35.6544);
}

TEST_F(EditObserverTest, OutOfRangeShowsAMessageThenTheUserCancels) {
    EphemerisComponent e(EditObserverInDialog);
    QString message;
    WhenDialogOpens([&message](ObserverDialog* d) {
        d->Text4->setText("20");
        // The message box is modal over the dialog: read it and close it, then cancel.
        QTimer::singleShot(0, [&message, d] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            message = box->text();
            box->accept();
            QTimer::singleShot(0, d, [d] { d->Command2->click(); });
        });
        d->Command1->click();
    });
    EXPECT_FALSE(e.EditObserver(nullptr));
    EXPECT_TRUE(message.contains(QStringLiteral("時差"))) << message.toStdString();
    EXPECT_EQ(e.ObserverTimeZone(), 9.0f);
}

}  // namespace
}  // namespace vireo
