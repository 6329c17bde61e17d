#include "options/OptionForm.h"

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayStopButton.h"
#include "options/ColorChooser.h"
#include "options/OptionsApply.h"
#include "platform/DialogPlacement.h"
#include "platform/OleColors.h"
#include "platform/ResourceStrings.h"
#include "platform/UiFont.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace vireo {

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// The designed layout in twips: 15 to a logical pixel.
constexpr double kTwipsPerPixel = 15.0;
constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 4440;

struct TwipRect {
    int Left, Top, Width, Height;
};

}  // namespace

// ---- Separator ------------------------------------------------------------------------------

SeparatorLine::SeparatorLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void SeparatorLine::AlignSeparatorLine() {
    const qreal ratio = window() && window()->windowHandle() ? window()->windowHandle()->devicePixelRatio()
                                                             : devicePixelRatioF();
    highlightOffset_ = 1.0 / (ratio > 0 ? ratio : 1.0);
}

void SeparatorLine::paintEvent(QPaintEvent*) {
    AlignSeparatorLine();  // the window may have moved to a screen of another scale
    QPainter painter(this);
    QPen pen;
    pen.setCosmetic(true);
    pen.setWidth(0);  // one device pixel
    // Shadow and highlight of a button face, as an etched line has them.
    pen.setColor(palette().color(QPalette::Dark));
    painter.setPen(pen);
    const qreal half = 0.5 / std::max<qreal>(1.0, devicePixelRatioF());
    painter.drawLine(QPointF(0, half), QPointF(width(), half));
    pen.setColor(palette().color(QPalette::Light));
    painter.setPen(pen);
    painter.drawLine(QPointF(0, highlightOffset_ + half), QPointF(width(), highlightOffset_ + half));
}

// ---- Dialog ---------------------------------------------------------------------------------

OptionForm::OptionForm(OptionsHost& host, QWidget* owner) : QDialog(owner), host_(host) {
    setWindowTitle(QStringLiteral("オプション"));
    // Fixed border, no minimise or maximise box; as an owned dialog it has no taskbar button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont(font()));
    BuildControls();
    LayOutControls();
    Form_Load();

    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { Combo2_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(Command5[i], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
    Check1->installEventFilter(this);
}

OptionForm::~OptionForm() {
    // Destroyed without closing (the owner went first): only the store is ours to release;
    // the music engine may already be gone.
    store_.reset();
}

void OptionForm::BuildControls() {
    Check1 = new QCheckBox(QStringLiteral("タスクトレイに常駐(&T)"), this);
    Frame1 = new QGroupBox(QStringLiteral("常駐オプション"), this);
    Check2 = new QCheckBox(QStringLiteral("最小化起動(&N)"), Frame1);
    Check3 = new QCheckBox(QStringLiteral("[閉じる]ボタンで最小化(&C)"), Frame1);
    Check4 = new QCheckBox(QStringLiteral("スタートアップに登録(&S)"), Frame1);

    Label1 = new QLabel(QStringLiteral("背景(&G)"), this);
    Combo1 = new QComboBox(this);
    const char* const schemes[] = {"Windows標準", "昼夜別", "デスクトップの色", "透過", "ユーザ設定"};
    for (int i = kSchemeSystem; i <= kSchemeUser; ++i) Combo1->addItem(QString::fromUtf8(schemes[i]), i);
    Label1->setBuddy(Combo1);
    Check5 = new QCheckBox(QStringLiteral("丸いウィンドウ(&R)"), this);

    Label2 = new QLabel(QStringLiteral("ユーザ色"), this);
    Label3 = new QLabel(QStringLiteral("Clock"), this);
    Label3->setAutoFillBackground(true);
    Label3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Label3->setLineWidth(1);
    Label3->setAlignment(Qt::AlignCenter);
    Command5[0] = new QPushButton(QStringLiteral("前景(&F)..."), this);
    Command5[1] = new QPushButton(QStringLiteral("背景(&K)..."), this);

    Label4 = new QLabel(QStringLiteral("時報(&H)"), this);
    Combo2 = new QComboBox(this);
    const char* const kinds[] = {"なし", "チャイム", "4点時報", "時刻の数", "音楽"};
    for (int i = kSignalNone; i <= kSignalMusic; ++i) Combo2->addItem(QString::fromUtf8(kinds[i]), i);
    Label4->setBuddy(Combo2);
    Command3 = new PlayStopButton(host_.Music(), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("参照(&B)..."), this);
    Command4->setToolTip(QStringLiteral("ファイルの選択"));

    Line1 = new SeparatorLine(this);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Command1->setDefault(true);

    // Tab order as designed; labels pass their access key on to the list after them.
    QWidget* const order[] = {Check1, Check2, Check3, Check4, Combo1, Check5, Command5[0],
                              Command5[1], Combo2, Command3, Command4, Command1, Command2};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void OptionForm::LayOutControls() {
    struct Item {
        QWidget* widget;
        TwipRect rect;
    };
    const Item items[] = {
        {Check1, {240, 120, 1935, 255}},
        {Frame1, {240, 480, 4095, 1095}},
        {Check2, {240, 240, 2415, 255}},
        {Check3, {240, 480, 2415, 255}},
        {Check4, {240, 720, 2415, 255}},
        {Label1, {240, 1845, 615, 255}},
        {Combo1, {960, 1800, 1695, 300}},
        {Check5, {2760, 1800, 1575, 255}},
        {Label2, {240, 2445, 735, 255}},
        {Label3, {960, 2400, 975, 300}},
        {Command5[0], {2040, 2400, 1095, 300}},
        {Command5[1], {3240, 2400, 1095, 300}},
        {Label4, {240, 3045, 615, 255}},
        {Combo2, {960, 3000, 1680, 300}},
        {Command3, {2760, 3000, 375, 300}},
        {Command4, {3240, 3000, 1095, 300}},
        {Command1, {1560, 3840, 1335, 330}},
        {Command2, {3000, 3840, 1335, 330}},
    };
    // The designed twips fit the designed font; a wider or taller font here stretches the
    // whole layout evenly, so that no caption is cut.
    // Lists and buttons that are taller than designed grow about their middle instead: the
    // rows leave room for that.
    const auto growsInPlace = [this](const QWidget* w) {
        return qobject_cast<const QComboBox*>(w) || qobject_cast<const QPushButton*>(w) || w == Label3;
    };
    double sx = 1.0;
    double sy = 1.0;
    for (const Item& item : items) {
        if (item.widget == Frame1 || item.widget == Command3) continue;
        const QSize hint = item.widget->sizeHint();
        sx = std::max(sx, hint.width() / (item.rect.Width / kTwipsPerPixel));
        if (!growsInPlace(item.widget))
            sy = std::max(sy, hint.height() / (item.rect.Height / kTwipsPerPixel));
    }
    const auto px = [](int twips, double scale) {
        return static_cast<int>(std::lround(twips / kTwipsPerPixel * scale));
    };
    // The frame's caption takes room above its check boxes.
    const int frameCaption = std::max(0, Frame1->fontMetrics().height() + 2 - px(240, sy));
    for (const Item& item : items) {
        const bool inFrame = item.widget->parentWidget() == Frame1;
        const int extraTop = inFrame ? frameCaption : 0;
        int height = px(item.rect.Height, sy);
        if (item.widget == Frame1) height += frameCaption;
        int top = px(item.rect.Top, sy) + extraTop;
        if (growsInPlace(item.widget) && item.widget->sizeHint().height() > height) {
            const int grown = item.widget == Command3 ? Command4->sizeHint().height()
                                                      : item.widget->sizeHint().height();
            top -= (grown - height) / 2;
            height = grown;
        }
        // Everything below the frame moves down with it.
        if (!inFrame && item.rect.Top > 480) top += frameCaption;
        item.widget->setGeometry(px(item.rect.Left, sx), top, px(item.rect.Width, sx), height);
    }
    Line1->setGeometry(0, px(3600, sy) + frameCaption, px(4560, sx), 2);
    setFixedSize(px(kClientWidth, sx), px(kClientHeight, sy) + frameCaption);
}

void OptionForm::SetSampleColors(OleColor back, OleColor fore) {
    sampleBack_ = back;
    sampleFore_ = fore;
    QPalette palette = Label3->palette();
    // Only the enabled look carries the colours; a greyed sample looks greyed.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, OleToQColor(back));
        palette.setColor(group, QPalette::WindowText, OleToQColor(fore));
    }
    Label3->setPalette(palette);
}

int OptionForm::SelectedData(const QComboBox* combo) {
    const QVariant data = combo->currentData();
    return data.isValid() ? data.toInt() : 0;
}

void OptionForm::Form_Load() {
    const ClockState& state = host_.State();
    // 1.-2. The dialog's own store and the three options only the settings hold.
    store_ = std::make_unique<SettingsStore>();
    store_->SetAppKeyMode(true);
    OpenOwnSettings(*store_);
    Check2->setChecked(Read(*store_, kMinimized));
    Check4->setChecked(Read(*store_, kHKeyStartUp) != 0);
    Check5->setChecked(Read(*store_, kCircleForm));

    // 3.-4. Residence.
    Check1->setChecked(state.ShowInTaskTray);
    Check3->setChecked(state.CloseButtonMinimized);
    Check1_Click();

    // Scheme; one outside the list shows the default scheme.
    const int scheme = state.BackgroundMode >= 0 && state.BackgroundMode < Combo1->count()
                           ? state.BackgroundMode
                           : static_cast<int>(kBackgroundMode.defaultValue);
    Combo1->setCurrentIndex(scheme);
    Combo1_Click();

    // 6.-7. Pending colours and file.
    SetSampleColors(state.UserBackColor, state.UserForeColor);
    signalFile_ = state.TimeSignalFile;

    // Without a MIDI output only "なし" and "音楽" remain, and the MIDI kind chosen before,
    // if any: the output may be missing only for now (the sound server not up yet), and an OK
    // must not lose the user's choice for that.
    if (!host_.MidiAvailable()) {
        for (int i = kSignalStrikeCount; i >= kSignalChime; --i) {  // the MIDI kinds, listed in kind order
            if (Combo2->itemData(i).toInt() != state.TimeSignalMode) {
                Combo2->removeItem(i);
                continue;
            }
            Combo2->setItemData(i, QStringLiteral("MIDI 出力が見つかりません。見つかれば鳴ります。"), Qt::ToolTipRole);
        }
    }
    // The list is searched by item data; a kind it does not carry selects the first item.
    int kindIndex = 0;
    for (int i = 0; i < Combo2->count(); ++i) {
        if (Combo2->itemData(i).toInt() == state.TimeSignalMode) {
            kindIndex = i;
            break;
        }
    }
    Combo2->setCurrentIndex(kindIndex);
    Combo2_Click();
    // The button shows music that was already playing when the dialog opened (after the rule
    // above, so that opening never stops it).
    if (host_.Music()) Command3->ShowState(host_.Music()->IsPlaying());

    // Beside the clock, tops aligned.
    MoveFrameTo(this, PlaceBesideClock(host_.WorkArea(), host_.ClockFrame(),
                                       host_.WindowState() == WindowStateIndex::Normal, ExpectedFrameSize(this),
                                       DialogVerticalRule::TopAligned));
    // 11.-12. Separator and the play button's glyph font.
    Line1->AlignSeparatorLine();
    QFont glyphFont = Command3->font();
    glyphFont.setFamily(Text(LoadResString(1027)));
    Command3->setFont(glyphFont);
}

void OptionForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    store_.reset();
    StopOwnPreview();
}

void OptionForm::Check1_Click() {
    const bool on = Check1->isChecked();
    Check2->setEnabled(on);
    Check3->setEnabled(on);
    Check4->setEnabled(on);
}

void OptionForm::Check1_MouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::RightButton || !host_.State().ShowInTaskTray) return;
    if (x < 0 || x > Check1->width() || y < 0 || y > Check1->height()) return;
    host_.RepairTaskTrayIcon();
    host_.Beep();
}

void OptionForm::Combo1_Click() {
    const int scheme = SelectedData(Combo1);
    Check5->setEnabled(scheme != kSchemeSeeThrough);
    const bool user = scheme == kSchemeUser;
    Label2->setEnabled(user);
    Label3->setEnabled(user);
    Command5[0]->setEnabled(user);
    Command5[1]->setEnabled(user);
}

void OptionForm::Combo2_Click() {
    const bool music = SelectedData(Combo2) == kSignalMusic;
    Command3->setEnabled(music && !signalFile_.empty());
    Command4->setEnabled(music);
    if (!Command3->isEnabled()) StopOwnPreview();
}

void OptionForm::StopOwnPreview() {
    // Music the dialog did not start (the player's, an alarm's) is none of its business.
    MusicEngine* music = host_.Music();
    if (music && preview_ != 0 && music->CurrentPlayback() == preview_) music->StopMusic();
    preview_ = 0;
}

void OptionForm::Command1_Click() {
    if (unloaded_ || !store_) return;
    OptionChoices choices;
    choices.Tray = Check1->isChecked();
    choices.CloseMinimizes = Check3->isChecked();
    choices.StartUp = Check4->isChecked();
    choices.StartMinimized = Check2->isChecked();
    choices.Round = Check5->isChecked();
    choices.Kind = SelectedData(Combo2);
    choices.Scheme = SelectedData(Combo1);
    choices.Back = sampleBack_;
    choices.Fore = sampleFore_;
    choices.File = signalFile_;
    try {
        OptionsApply(choices, host_, *store_,
                     QCoreApplication::applicationFilePath().toStdString());
    } catch (const SettingsError& e) {
        // The own settings refused a name or value: the dialog stays open.
        qWarning("options: %s", e.what());
        return;
    }
    done(QDialog::Accepted);
}

void OptionForm::Command2_Click() { done(QDialog::Rejected); }

void OptionForm::reject() { Command2_Click(); }

void OptionForm::Command3_Click() {
    MusicEngine* music = host_.Music();
    if (music) {
        if (Command3->ShowsPlaying())
            music->StopMusic();
        else {
            music->PlayMusic(signalFile_, kPlayModeUser);
            preview_ = music->CurrentPlayback();
        }
    }
    Combo2->setFocus();
}

void OptionForm::Command4_Click() {
    SelectMusicFile(signalFile_, this, host_.Music(), Command3);
    Command3->setEnabled(!signalFile_.empty());
}

void OptionForm::Command5_Click(int index) {
    if (index < 0 || index > 1) return;
    // The chooser opens on the committed colour, not on the pending one of the sample.
    const ClockState& state = host_.State();
    const std::int32_t chosen = SelectColor(index == 1 ? state.UserBackColor : state.UserForeColor, this);
    if (chosen < 0) return;
    if (index == 1)
        SetSampleColors(chosen, sampleFore_);
    else
        SetSampleColors(sampleBack_, chosen);
}

void OptionForm::done(int result) {
    Form_Unload();
    QDialog::done(result);
    if (deleteWhenUnloaded_) deleteLater();
}

void OptionForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        host_.ShowHelp(HelpContextId);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool OptionForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Check1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        Check1_MouseUp(mouse->button(), at.x(), at.y());
    }
    return QDialog::eventFilter(watched, event);
}

OptionForm* NewOptionForm(OptionsHost& host, QWidget* owner) {
    auto* form = new OptionForm(host, owner);
    form->SetDeleteWhenUnloaded(true);
    // Modality holds from the first showing; an open dialog is only brought forward.
    form->setWindowModality(DialogModalityFor(host.WindowState()));
    return form;
}

}  // namespace vireo
