#include "signal/AlarmForm.h"

#include "music/MusicEngine.h"
#include "music/MusicFileChooser.h"
#include "music/PlayStopButton.h"
#include "platform/DialogPlacement.h"
#include "platform/ResourceStrings.h"
#include "platform/UiFont.h"
#include "timekeeping/Clock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QKeyEvent>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace vireo {

namespace {

std::string MusicWithoutFileMessage(int index) {
    return "アラーム #" + std::to_string(index) +
           " は音が「音楽」ですが、音楽ファイルが選ばれていません。「参照」でファイルを選ぶか、音を変えてください。";
}

constexpr int kHourTop = 24;    // one past 23: the hour bar wraps to 0
constexpr int kMinuteTop = 60;  // one past 59: the minute bar wraps to 0 and carries

const QString kSoundTexts[] = {QStringLiteral("OFF"), QStringLiteral("チャイム"), QStringLiteral("音楽")};

// Combo2's items, in order.
constexpr AlarmRepeat kRules[] = {AlarmRepeat::Once, AlarmRepeat::Weekdays, AlarmRepeat::EveryDay};

int RuleIndex(AlarmRepeat repeat) {
    return static_cast<int>(std::find(std::begin(kRules), std::end(kRules), repeat) - std::begin(kRules));
}

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString AlarmLineText(const AlarmValue& value) {
    return TwoDigits(value.Hour()) + QLatin1Char(':') + TwoDigits(value.Minute()) + QLatin1Char('\t') +
           kSoundTexts[ListedSoundKind(value)];
}

// Draws a line's Tab as a column, so that the sound texts line up whatever the digits' widths.
class TabColumnDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static int TabStop(const QFontMetrics& fm) {
        return fm.horizontalAdvance(QStringLiteral("00:00")) + fm.horizontalAdvance(QStringLiteral("   "));
    }
    static int Margin(const QWidget* widget) {
        const QStyle* style = widget ? widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const int margin = Margin(widget);
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(margin, 0, -margin, 0);
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(
            group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        const int tab = text.indexOf(QLatin1Char('\t'));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, tab < 0 ? text : text.left(tab));
        if (tab >= 0)
            painter->drawText(area.adjusted(TabStop(opt.fontMetrics), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              text.mid(tab + 1));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // Every line as tall as one with Japanese text, so that ten lines fill the list exactly.
        QStyleOptionViewItem sample(opt);
        sample.text = QStringLiteral("00:00 ") + kSoundTexts[1] + kSoundTexts[2];
        const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        size.setHeight(std::max(size.height(),
                                style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), opt.widget).height()));
        const int tab = opt.text.indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            size.setWidth(2 * Margin(opt.widget) + TabStop(opt.fontMetrics) +
                          opt.fontMetrics.horizontalAdvance(opt.text.mid(tab + 1)));
        return size;
    }
};

}  // namespace

// ---- SpinBar --------------------------------------------------------------------------------

SpinBar::SpinBar(int top, QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(Qt::Vertical);
    setRange(-1, top);
    setSingleStep(1);
    setPageStep(1);
    setValue(0);
    // Clicking the arrows leaves the focus where it is, in the time box beside them.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SpinBar::sizeHint() const {
    const int width = std::max(15, style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    return {width, 2 * width};
}

void SpinBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int half = height() / 2;
    const QRect parts[2] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const bool held = pressed_ == (i == 0 ? 1 : -1);
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = parts[i];
        button.state |= held ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        const int inset = std::max(2, parts[i].height() / 5);
        arrow.rect = parts[i].adjusted(inset, inset, -inset, -inset).translated(held ? 1 : 0, held ? 1 : 0);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow,
                               &painter, this);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void SpinBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = event->position().y() < height() / 2 ? 1 : -1;
    const SliderAction action = pressed_ > 0 ? SliderSingleStepAdd : SliderSingleStepSub;
    update();
    triggerAction(action);
    setRepeatAction(action, 500, 50);
}

void SpinBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setRepeatAction(SliderNoAction);
    pressed_ = 0;
    update();
}

void SpinBar::wheelEvent(QWheelEvent* event) {
    // One step a notch: several at once could pass a wrap without it being seen.
    wheel_ += event->angleDelta().y();
    for (; wheel_ >= 120; wheel_ -= 120) StepUp();
    for (; wheel_ <= -120; wheel_ += 120) StepDown();
    event->accept();
}

// ---- AlarmForm ------------------------------------------------------------------------------

AlarmForm::AlarmForm(AlarmFormHost& host, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      host_(host),
      music_(host.Music()) {
    setWindowTitle(QStringLiteral("アラームの設定"));
    setFont(DialogFont(font()));

    List1 = new QListWidget(this);
    List1->setItemDelegate(new TabColumnDelegate(List1));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->setUniformItemSizes(true);
    for (int i = 0; i < kAlarmCount; ++i) List1->addItem(AlarmLineText(AlarmValue()));

    Label1 = new QLabel(QStringLiteral("時刻(&T)"), this);
    const QString units[2] = {QStringLiteral("時"), QStringLiteral("分")};
    for (int i = 0; i < 2; ++i) {
        Text1[i] = new QLineEdit(QStringLiteral("0"), this);
        Text1[i]->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Text1[i]));
        Text1[i]->setMaxLength(2);
        Text1[i]->setFixedWidth(Text1[i]->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
        VScroll1[i] = new SpinBar(i == 0 ? kHourTop : kMinuteTop, this);
        VScroll1[i]->setFixedHeight(Text1[i]->sizeHint().height());
        Label2[i] = new QLabel(units[i], this);
    }
    Label1->setBuddy(Text1[0]);

    Command5 = new QPushButton(QStringLiteral("&Now"), this);
    Command5->setToolTip(QStringLiteral("現在の時刻"));

    Label3 = new QLabel(QStringLiteral("音(&S)"), this);
    Combo1 = new QComboBox(this);
    for (const QString& text : kSoundTexts) Combo1->addItem(text);
    Label3->setBuddy(Combo1);
    Command3 = new PlayStopButton(music_, this);
    Command3->setObjectName(QStringLiteral("Command3"));
    // Music may be playing already (an alarm, the player window).
    Command3->ShowState(music_ && music_->IsPlaying());
    Command4 = new QPushButton(QStringLiteral("参照(&B)..."), this);
    Command4->setToolTip(QStringLiteral("ファイルを選択"));

    Frame1 = new QGroupBox(this);
    Combo2 = new QComboBox(Frame1);
    Combo2->addItems({QStringLiteral("1回のみ"), QStringLiteral("曜日指定"), QStringLiteral("毎日")});
    const QString days[7] = {QStringLiteral("S&un"), QStringLiteral("&Mon"), QStringLiteral("Tu&e"),
                             QStringLiteral("&Wed"), QStringLiteral("T&hu"), QStringLiteral("&Fri"),
                             QStringLiteral("S&at")};
    const QString dayTips[7] = {QStringLiteral("日曜"), QStringLiteral("月曜"), QStringLiteral("火曜"),
                                QStringLiteral("水曜"), QStringLiteral("木曜"), QStringLiteral("金曜"),
                                QStringLiteral("土曜")};
    for (int k = 0; k < 7; ++k) {
        Check1[k] = new QCheckBox(days[k], Frame1);
        Check1[k]->setToolTip(dayTips[k]);
    }

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);

    // Layout: the list on the left, the editor on the right, OK and Cancel below.
    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(4);
    for (int i = 0; i < 2; ++i) {
        auto* box = new QHBoxLayout;
        box->setSpacing(0);
        box->addWidget(Text1[i]);
        box->addWidget(VScroll1[i]);
        timeRow->addLayout(box);
        timeRow->addWidget(Label2[i]);
        timeRow->addSpacing(4);
    }
    timeRow->addStretch();
    timeRow->addWidget(Command5);

    auto* soundRow = new QHBoxLayout;
    soundRow->setSpacing(4);
    soundRow->addWidget(Combo1);
    soundRow->addWidget(Command3);
    soundRow->addStretch();
    soundRow->addWidget(Command4);

    auto* dayGrid = new QGridLayout;
    dayGrid->setHorizontalSpacing(8);
    for (int k = 0; k < 7; ++k) dayGrid->addWidget(Check1[k], k / 4, k % 4);
    auto* frameLayout = new QVBoxLayout(Frame1);
    auto* ruleRow = new QHBoxLayout;
    ruleRow->addWidget(Combo2);
    ruleRow->addStretch();
    frameLayout->addLayout(ruleRow);
    frameLayout->addLayout(dayGrid);

    auto* editor = new QGridLayout;
    editor->setVerticalSpacing(8);
    editor->addWidget(Label1, 0, 0);
    editor->addLayout(timeRow, 0, 1);
    editor->addWidget(Label3, 1, 0);
    editor->addLayout(soundRow, 1, 1);
    editor->addWidget(Frame1, 2, 0, 1, 2);
    editor->setRowStretch(3, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(List1, 0, Qt::AlignTop);
    top->addLayout(editor, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(List1, Text1[0]);
    setTabOrder(Text1[0], VScroll1[0]);
    setTabOrder(VScroll1[0], Text1[1]);
    setTabOrder(Text1[1], VScroll1[1]);
    setTabOrder(VScroll1[1], Command5);
    setTabOrder(Command5, Combo1);
    setTabOrder(Combo1, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Combo2);
    setTabOrder(Combo2, Check1[0]);
    for (int k = 1; k < 7; ++k) setTabOrder(Check1[k - 1], Check1[k]);
    setTabOrder(Check1[6], Command1);
    setTabOrder(Command1, Command2);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { Combo2_Click(); });
    for (int k = 0; k < 7; ++k)
        connect(Check1[k], &QCheckBox::toggled, this, [this, k](bool on) { editor_.SetWeekday(k + 1, on); });
    for (int i = 0; i < 2; ++i)
        connect(VScroll1[i], &QAbstractSlider::valueChanged, this, [this, i] { VScroll1_Change(i); });
    connect(Command5, &QPushButton::clicked, this, &AlarmForm::Command5_Click);
    connect(Command3, &QPushButton::clicked, this, &AlarmForm::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &AlarmForm::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &AlarmForm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &AlarmForm::Command2_Click);

    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

AlarmForm::~AlarmForm() = default;

AlarmForm* AlarmForm::Create(AlarmFormHost& host, QWidget* owner) {
    auto* form = new AlarmForm(host, owner);
    connect(form, &QDialog::finished, form, &QObject::deleteLater);
    form->Form_Load();
    // Modality holds from the first showing; an open dialog is only brought forward.
    form->setWindowModality(DialogModalityFor(host.WindowState()));
    return form;
}

void AlarmForm::FitList() {
    // Measured once the style has been applied: exactly ten lines, the longest sound text whole.
    List1->ensurePolished();
    const QFontMetrics fm = List1->fontMetrics();
    int widest = 0;
    for (const QString& text : kSoundTexts) widest = std::max(widest, fm.horizontalAdvance(text));
    const int frame = 2 * List1->frameWidth();
    List1->setFixedWidth(frame + 2 * TabColumnDelegate::Margin(List1) + TabColumnDelegate::TabStop(fm) + widest + 12);
    List1->setFixedHeight(frame + kAlarmCount * List1->sizeHintForRow(0));
}

void AlarmForm::Form_Load() {
    FitList();
    adjustSize();
    create();  // where the platform knows the frame before showing, placement counts it
    MoveFrameTo(this, PlaceBesideClock(host_.WorkArea(), host_.ClockFrame(),
                                       host_.WindowState() == WindowStateIndex::Normal, ExpectedFrameSize(this),
                                       DialogVerticalRule::TopAligned));

    editor_.Load(host_.Alarms());
    for (int i = 0; i < kAlarmCount; ++i) ShowLine(i);
    if (List1->currentRow() == 0)
        List1_Click();
    else
        List1->setCurrentRow(0);  // runs List1_Click
}

QString AlarmForm::Tag() const { return editor_.Line() >= 0 ? QString::number(editor_.Line()) : QString(); }

std::int32_t AlarmForm::ItemData(int line) const { return editor_.Value(line).Packed(); }

void AlarmForm::ShowLine(int line) {
    if (QListWidgetItem* item = List1->item(line)) item->setText(AlarmLineText(editor_.Shown(line)));
}

void AlarmForm::List1_Click() {
    const int selected = List1->currentRow();
    if (selected < 0) return;
    // A preview never outlives its line.
    if (editor_.Line() >= 0 && selected != editor_.Line()) StopOwnPreview();
    editor_.Select(selected);

    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker block(VScroll1[i]);
        VScroll1[i]->setValue(i == 0 ? editor_.Hour() : editor_.Minute());
    }
    VScroll1_Change(0);
    VScroll1_Change(1);
    {
        const QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(editor_.SoundKind());
    }
    Combo1_Click();
    {
        const QSignalBlocker block(Combo2);
        Combo2->setCurrentIndex(RuleIndex(editor_.Repeat()));
    }
    Combo2_Click();
}

void AlarmForm::Combo1_Click() {
    const int kind = Combo1->currentIndex();
    if (kind >= 0) editor_.SetSoundKind(kind);
    Command3->setEnabled(editor_.MusicChosen());
    Command4->setEnabled(editor_.MusicChosen());
    Combo2->setEnabled(editor_.RepeatEditable());
    for (QCheckBox* box : Check1) box->setEnabled(editor_.WeekdaysEditable());
    if (!Command3->isEnabled()) StopOwnPreview();
    ShowLine(editor_.Line());
}

void AlarmForm::Combo2_Click() {
    const int rule = Combo2->currentIndex();
    if (rule >= 0) editor_.SetRepeat(kRules[rule]);
    for (int k = 0; k < 7; ++k) {
        Check1[k]->setEnabled(editor_.WeekdaysEditable());
        const QSignalBlocker block(Check1[k]);
        Check1[k]->setChecked(editor_.HasWeekday(k + 1));
    }
}

void AlarmForm::VScroll1_Change(int index) {
    SpinBar* bar = VScroll1[index];
    const int top = index == 0 ? kHourTop : kMinuteTop;
    if (bar->value() >= top) {
        bar->setValue(0);
        if (index == 1) VScroll1[0]->setValue(VScroll1[0]->value() + 1);
    } else if (bar->value() <= -1) {
        bar->setValue(top - 1);
        if (index == 1) VScroll1[0]->setValue(VScroll1[0]->value() - 1);
    }
    const int value = bar->value();
    Text1[index]->setText(QString::number(value));
    if (index == 0)
        editor_.SetHour(value);
    else
        editor_.SetMinute(value);
    ShowLine(editor_.Line());
}

bool AlarmForm::Text1_Validate(int index) {
    QLineEdit* box = Text1[index];
    SpinBar* bar = VScroll1[index];
    const QString text = box->text();
    if (text == QString::number(bar->value())) return true;
    bool ok = false;
    const int n = text.toInt(&ok);
    const int last = index == 0 ? kHourTop - 1 : kMinuteTop - 1;
    if (!text.isEmpty() && ok && n >= 0 && n <= last) {
        if (bar->value() == n)
            VScroll1_Change(index);  // "07" over 7 still shows as 7
        else
            bar->setValue(n);
        return true;
    }
    box->setText(QString::number(bar->value()));
    host_.Beep();
    if (inFocusOut_)
        QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
    else
        box->setFocus(Qt::OtherFocusReason);
    return false;
}

bool AlarmForm::LeaveTimeBoxes() { return Text1_Validate(0) && Text1_Validate(1); }

void AlarmForm::Command5_Click() {
    if (!LeaveTimeBoxes()) return;
    // The computer's own time, whatever scale the clock shows; the next whole minute.
    const std::int32_t second = std::clamp(host_.ClockSource().Now().WholeSecond(), 0, 86399);
    const int next = second / 60 + 1;
    VScroll1[0]->setValue(next / 60);  // 24 at 23:59 wraps to 0
    VScroll1[1]->setValue(next % 60);
}

void AlarmForm::Command3_Click() {
    if (!LeaveTimeBoxes()) return;
    if (Command3->ShowsPlaying()) {
        if (music_) music_->StopMusic();
    } else if (music_ && editor_.Line() >= 0) {
        music_->PlayMusic(editor_.File(), kPlayModeUser);
        preview_ = music_->CurrentPlayback();
    }
    Combo1->setFocus();
}

void AlarmForm::StopOwnPreview() {
    // Music the dialog did not start (the player's, an alarm's) is none of its business.
    if (music_ && preview_ != 0 && music_->CurrentPlayback() == preview_)
        music_->StopMusic();
    preview_ = 0;
}

void AlarmForm::Command4_Click() {
    if (!LeaveTimeBoxes()) return;
    if (editor_.Line() < 0) return;
    std::string file = editor_.File();
    SelectMusicFile(file, this, music_, Command3);
    editor_.SetFile(file);
    Command3->setEnabled(!editor_.File().empty());
}

void AlarmForm::Command1_Click() {
    if (!LeaveTimeBoxes()) return;
    List1_Click();  // the editor into its line
    const int missing = editor_.MusicWithoutFile(host_.Alarms());
    if (missing >= 0) {
        List1->setCurrentRow(missing);
        host_.ShowExclamation(MusicWithoutFileMessage(missing));
        return;
    }
    editor_.WriteTo(host_.Alarms());
    accept();
}

void AlarmForm::Command2_Click() { reject(); }

void AlarmForm::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void AlarmForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    StopOwnPreview();
}

void AlarmForm::keyPressEvent(QKeyEvent* event) {
    // F1 anywhere in the dialog: the controls pass it on.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        host_.ShowHelp(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool AlarmForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A click elsewhere leaves a time box: a refused time keeps the click from happening.
        // Qt moves the focus before the press arrives, so a refusal may already be known.
        if (refusedClick_) {
            refusedClick_ = false;
            return true;
        }
        // A control that takes no focus leaves the box focused: check it here.
        for (int i = 0; i < 2; ++i) {
            if (Text1[i]->hasFocus() && watched != Text1[i] && watched != Command2 && !Text1_Validate(i))
                return true;
        }
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool withinDialog = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                  reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason ||
                                  reason == Qt::MouseFocusReason;
        // Cancel discards everything and is not held up.
        const bool toCancel = QApplication::focusWidget() == Command2;
        for (int i = 0; i < 2; ++i) {
            if (watched != Text1[i] || !withinDialog || toCancel || !isVisible() || unloaded_) continue;
            inFocusOut_ = true;
            if (!Text1_Validate(i) && reason == Qt::MouseFocusReason) {
                refusedClick_ = true;
                QTimer::singleShot(0, this, [this] { refusedClick_ = false; });
            }
            inFocusOut_ = false;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vireo
