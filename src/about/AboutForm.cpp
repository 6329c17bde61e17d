#include "about/AboutForm.h"

#include "about/VersionInfo.h"

#include "platform/DialogPlacement.h"
#include "platform/ResourceStrings.h"
#include "platform/UiFont.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace vireo {

namespace {

constexpr double kTwipsPerPixel = 15.0;

QRect FromTwips(int left, int top, int width, int height) {
    const auto px = [](int twips) { return static_cast<int>(twips / kTwipsPerPixel + 0.5); };
    return {px(left), px(top), px(width), px(height)};
}

}  // namespace

QString AboutVersionText(int major, int minor) {
    return QStringLiteral("Version %1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
}

AboutForm::AboutForm(AboutHost& host, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      host_(host) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFont(DialogFont(this->font()));
    const QFont font = this->font();
    setFixedSize(FromTwips(0, 0, 3960, 2805).size());

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setGeometry(FromTwips(240, 120, 3495, 1935));

    const auto label = [this](const QRect& geometry) {
        auto* l = new QLabel(Frame1);
        l->setGeometry(geometry);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    // Wider than their twip boxes where Japanese fonts run larger than the original's.
    Label1 = label(FromTwips(1320, 300, 1815, 375));
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSize(12);
    Label1->setFont(bold);
    Label2 = label(FromTwips(1320, 720, 1815, 255));
    Label3 = label(FromTwips(120, 1080, 3255, 255));
    Label4 = label(FromTwips(240, 1440, 3015, 255));
    Label4->setToolTip(QStringLiteral("サポートページへ"));
    Label4->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    QFont underlined = font;
    underlined.setUnderline(true);
    Label4->setFont(underlined);
    Label4->installEventFilter(this);

    Image1 = new QLabel(Frame1);
    Image1->setGeometry(FromTwips(600, 360, 615, 615));
    Image1->setAlignment(Qt::AlignCenter);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(FromTwips(1313, 2280, 1335, 330));
    Command1->setDefault(true);
    Command1->setAutoDefault(true);
    connect(Command1, &QPushButton::clicked, this, &AboutForm::Command1_Click);
    // Esc reaches QDialog::reject, which closes like OK.
}

void AboutForm::Form_Load() {
    adjustSize();
    MoveFrameTo(this, PlaceBesideClock(host_.WorkArea(), host_.ClockFrame(), host_.ClockNormal(),
                                       ExpectedFrameSize(this), DialogVerticalRule::Centred));
    const QIcon icon = host_.ClockIcon();
    Image1->setPixmap(icon.pixmap(Image1->size().boundedTo(QSize(32, 32)), devicePixelRatioF()));
    Label1->setText(QStringLiteral(VIREO_PRODUCT_NAME));
    Label2->setText(AboutVersionText(VIREO_VERSION_MAJOR, VIREO_VERSION_MINOR));
    Label3->setText(QStringLiteral(VIREO_LEGAL_COPYRIGHT));
    Label4->setText(QString::fromStdString(LoadResString(1000)));
    FitTexts();
    host_.InformationSound();
}

void AboutForm::FitTexts() {
    // A font wider than the one the layout was drawn for widens the frame and the window
    // rather than clip a text.
    int widest = 0;
    for (QLabel* l : {Label1, Label2, Label3, Label4}) widest = std::max(widest, l->sizeHint().width());
    const int margin = FromTwips(0, 0, 120, 0).width();
    const int grow = std::max(0, widest + 2 * margin - Frame1->width());
    if (grow > 0) {
        setFixedSize(width() + grow, height());
        Frame1->resize(Frame1->width() + grow, Frame1->height());
        Command1->move(Command1->x() + grow / 2, Command1->y());
        for (QLabel* l : {Label1, Label2, Label3})
            l->setGeometry(margin, l->y(), Frame1->width() - 2 * margin, l->height());
    }
    // The link is sized to its text, centred in the frame.
    const QSize text = Label4->sizeHint();
    Label4->setGeometry((Frame1->width() - text.width()) / 2, Label4->y(), text.width(),
                        text.height());
}

void AboutForm::Command1_Click() { accept(); }

bool AboutForm::LinkPressedLook() const { return Label4->frameShape() != QFrame::NoFrame; }

void AboutForm::SetLinkBorder(bool on) {
    Label4->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
    Label4->setLineWidth(1);
}

void AboutForm::Label4_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) SetLinkBorder(true);
}

void AboutForm::Label4_MouseMove(Qt::MouseButtons buttons, const QPoint& pos) {
    if (buttons != Qt::LeftButton) return;
    const bool outside = pos.x() < 0 || pos.y() < 0 || pos.x() > Label4->width() ||
                         pos.y() > Label4->height();
    if (outside && LinkPressedLook())
        SetLinkBorder(false);
    else if (!outside && !LinkPressedLook())
        SetLinkBorder(true);
}

void AboutForm::Label4_MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !LinkPressedLook()) return;
    SetLinkBorder(false);
    host_.OpenUrl(QUrl(QString::fromStdString(LoadResString(1000))));
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label4) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            Label4_MouseDown(static_cast<QMouseEvent*>(event)->button());
            return true;
        case QEvent::MouseMove: {
            const auto* e = static_cast<QMouseEvent*>(event);
            Label4_MouseMove(e->buttons(), e->position().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease:
            Label4_MouseUp(static_cast<QMouseEvent*>(event)->button());
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vireo
