#include "about/AboutForm.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "DialogLook.h"

namespace vireo {
namespace {

class FakeAboutHost : public AboutHost {
public:
    QRect clock{100, 300, 200, 240};
    bool normal = true;
    QRect work{0, 24, 1280, 1000};
    int sounds = 0;
    std::vector<QUrl> opened;

    QRect ClockFrame() const override { return clock; }
    bool ClockNormal() const override { return normal; }
    QRect WorkArea() const override { return work; }
    QIcon ClockIcon() const override {
        QPixmap p(32, 32);
        p.fill(Qt::red);
        return QIcon(p);
    }
    void InformationSound() override { ++sounds; }
    void OpenUrl(const QUrl& url) override { opened.push_back(url); }
};

void Send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(AboutVersionText, MinorHasAtLeastTwoDigits) {
    EXPECT_EQ(AboutVersionText(2, 0), QStringLiteral("Version 2.00"));
    EXPECT_EQ(AboutVersionText(1, 5), QStringLiteral("Version 1.05"));
    EXPECT_EQ(AboutVersionText(1, 123), QStringLiteral("Version 1.123"));
}

TEST(AboutForm, ShowsTheProgramAndSoundsOnce) {
    FakeAboutHost host;
    AboutForm form(host, nullptr);
    form.Form_Load();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Vireo"));
    EXPECT_TRUE(form.Label2->text().startsWith(QStringLiteral("Version 1.")));
    EXPECT_TRUE(form.Label3->text().contains(QStringLiteral("Larkspur Laboratory")));
    EXPECT_TRUE(form.Label4->text().startsWith(QStringLiteral("https://")));
    EXPECT_EQ(form.Label4->toolTip(), QStringLiteral("サポートページへ"));
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(host.sounds, 1);
    // Every text fits its label, and every label its frame.
    for (QLabel* l : {form.Label1, form.Label2, form.Label3, form.Label4}) {
        EXPECT_LE(l->sizeHint().width(), l->width()) << l->text().toStdString();
        EXPECT_TRUE(form.Frame1->rect().contains(l->geometry())) << l->text().toStdString();
    }
    EXPECT_TRUE(form.rect().contains(form.Frame1->geometry()));
}

TEST(AboutForm, OpensBesideTheClockCentredOnItAndInsideTheWorkArea) {
    FakeAboutHost host;
    host.clock = QRect(1100, 500, 180, 200);  // at the right edge
    AboutForm form(host, nullptr);
    form.Form_Load();
    const QSize size = form.frameGeometry().size();
    EXPECT_EQ(form.pos().x(), 1100 - size.width()) << "on the clock's left";
    EXPECT_EQ(form.pos().y(), 500 + (200 - size.height()) / 2);

    host.clock = QRect(100, 24, 180, 60);  // centring would reach above the work area
    AboutForm high(host, nullptr);
    high.Form_Load();
    EXPECT_EQ(high.pos(), QPoint(280, 24));
}

TEST(AboutForm, TheLinkOpensOnlyWhenReleasedOverIt) {
    FakeAboutHost host;
    AboutForm form(host, nullptr);
    form.Form_Load();
    QLabel* link = form.Label4;
    const QPoint inside(link->width() / 2, link->height() / 2);
    const QPoint outside(link->width() + 5, inside.y());

    Send(link, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(form.LinkPressedLook());
    Send(link, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(form.LinkPressedLook());
    Send(link, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(host.opened.empty()) << "dragged out: nothing opens";

    Send(link, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    Send(link, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
    Send(link, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(form.LinkPressedLook()) << "back in: pressed again";
    Send(link, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.opened.front().toString(), link->text());
    EXPECT_FALSE(form.LinkPressedLook());

    Send(link, QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(form.LinkPressedLook());
    Send(link, QEvent::MouseButtonRelease, inside, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(host.opened.size(), 1u) << "the right button does nothing";
}

TEST(AboutForm, OkEnterAndEscCloseIt) {
    FakeAboutHost host;
    AboutForm form(host, nullptr);
    form.Form_Load();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        QTest::keyClick(&form, key);
        EXPECT_FALSE(form.isVisible()) << "key " << key;
    }
    form.show();
    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.Command1->isDefault());
}

// The window as drawn: not blank, no caption cut off; with VIREO_SNAPSHOT_DIR set, the
// picture is also kept there for a look by eye.
TEST(AboutForm, DrawnWholeWithNoCaptionCutOff) {
    FakeAboutHost host;
    AboutForm form(host, nullptr);
    form.Form_Load();
    form.show();
    QApplication::processEvents();
    const QImage picture = form.grab().toImage();
    EXPECT_GT(test::ColourCount(picture), 8) << "a blank window";
    EXPECT_TRUE(test::CutCaptions(form).isEmpty()) << test::CutCaptions(form).join(" | ").toStdString();
    EXPECT_TRUE(test::HasDialogFont(form)) << QFontInfo(form.font()).family().toStdString();
    const QString dir = qEnvironmentVariable("VIREO_SNAPSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(picture.save(dir + QStringLiteral("/about.png")));
    }
}

}  // namespace
}  // namespace vireo
