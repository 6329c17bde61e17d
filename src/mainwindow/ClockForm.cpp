#include "platform/OleColors.h"
#include "mainwindow/ClockForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "about/AboutForm.h"
#include "face/ClockFace.h"
#include "mainwindow/ClockDialogHost.h"
#include "mainwindow/ClockSettings.h"
#include "mainwindow/shell/ClockMenu.h"
#include "mainwindow/shell/HelpWindow.h"
#include "mainwindow/shell/WindowShell.h"
#include "music/MusicEngine.h"
#include "music/PlayForm.h"
#include "options/OptionForm.h"
#include "platform/ResourceStrings.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "signal/AlarmForm.h"
#include "signal/SignalControl.h"
#include "timekeeping/ClockTick.h"
#include "timekeeping/TimeScales.h"

namespace vireo {

namespace {

constexpr int ScaleNameBase = 1050;


}  // namespace

ClockForm::ClockForm(ClockFormParts parts, QWidget* parent)
    : QWidget(parent),
      parts_(std::move(parts)),
      engines_(std::make_unique<ClockEngines>(parts_, state_, alarms_)),
      Timer1(&engines_->Timer1()),
      playDialog_([](const PlayForm& f) { return !f.IsUnloaded(); }),
      optionDialog_([](const OptionForm& f) { return !f.IsUnloaded(); }),
      alarmDialog_([](const AlarmForm& f) { return !f.IsUnloaded(); }) {
    // The designed client area; start-up replaces it with the stored size.
    const TwipScale tw = Twips();
    resize(RoundToInt32(DesignedClientWidthTwips / tw.X), RoundToInt32(DesignedClientHeightTwips / tw.Y));
    setFocusPolicy(Qt::StrongFocus);
    // A desktop clock is mostly not the active window; its tips must show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    saveSoon_.setSingleShot(true);
    saveSoon_.setInterval(1500);
    connect(&saveSoon_, &QTimer::timeout, &saveSoon_, [this] { SaveSettings(); });
    WindowShell::PrepareWindow(this);

    face_ = new ClockFace(this);
    face_->SetClock(&ClockSource());
    face_->setGeometry(rect());
    menu_ = new ClockMenu(this);
    shell_ = new WindowShell(this, menu_, this);
    if (windowIcon().isNull() || QApplication::windowIcon().isNull()) setWindowIcon(DrawnClockIcon());
    dialogHost_ = std::make_unique<ClockDialogHost>(ClockDialogHost::Parts{
        *this, state_, alarms_, *engines_, *shell_, *face_, [this] { return unloaded_; },
        [this] { ReapplyColorScheme(); }});
    ConnectMenu();

    connect(Timer1, &SecondTimer::Timeout, this, &ClockForm::Timer1_Timer);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this] { RememberActiveWindow(); });
}

ClockForm::~ClockForm() {
    // ~QWidget still moves the focus: by then this is no ClockForm to remember it.
    disconnect(focusWatch_);
    // A window destroyed without closing (tests, a failed start) still releases in order; the
    // dialogs first, while the engines their buttons listen to still exist.
    for (QWidget* w : OwnedDialogs()) {
        w->close();
        delete w;
    }
    Timer1->SetEnabled(false);
    if (face_) face_->SetEphemeris(nullptr);
    engines_->ReleaseAll();
}

// ---- Start-up -------------------------------------------------------------------------------

void ClockForm::Form_Load() {
    if (loaded_) return;
    {
        // The settings store, named by company and product.
        SettingsStore store;
        OpenOwnSettings(store);

        // The ephemeris component; every setting read (corrections written back at once).
        Ephemeris& ephemeris = engines_->CreateEphemeris();
        const ClockSettingsRecord stored = ReadClockSettings(store, state_, alarms_);

        // The stored observer; the horizon correction.
        engines_->ApplyObserver(stored.Observer);
        state_.HorizonCorrection = HorizonCorrectionFor(ephemeris.ObserverHeight());
        face_->SetEphemeris(&ephemeris);

        // Scale, readout and time signal.
        face_->SetClockMode(state_.ClockMode);
        face_->SetDigitalMode(state_.DigitalMode);
        menu_->SetClockMode(state_.ClockMode);
        menu_->SetDigitalMode(state_.DigitalMode);

        // Sound; nothing plays yet.
        engines_->CreateSound(
            [this](bool playing) {
                if (face_) face_->SetMusicPlaying(playing);
            },
            [this](const std::string& file, const std::string& why) { ReportMusicFailure(file, why); });
        state_.AlarmIndex = kNoAlarm;

        // The ten alarms.
        engines_->CreateSignal();

        // Place and size; caption.
        PlaceWindow(stored.Client);
        SetCaption();

        // See-through face; round window, always with the see-through face.
        shell_->SetTransparentForm(state_.BackgroundMode == kSchemeSeeThrough);
        if (stored.CircleForm || state_.BackgroundMode == kSchemeSeeThrough) shell_->SetCircleForm(true);

        // The tick's interval.
        timer1Interval_ = stored.Interval;

        // Notification icon and window buttons.
        face_->SetShowInTaskTray(state_.ShowInTaskTray);
        if (state_.ShowInTaskTray) shell_->AddTaskTrayIcon();
        shell_->SetWindowButtons(state_.CloseButtonMinimized);

        // Window state; "start minimised" wins.
        if (stored.StartMinimized || stored.WindowState == WindowStateIndex::Minimized)
            setWindowState(Qt::WindowMinimized);
        else if (stored.WindowState == WindowStateIndex::Maximized)
            setWindowState(Qt::WindowMaximized);
        // The store is released here.
    }

    // Numerals and fonts for the scale.
    SetDialLabels();

    // The first temporal period, with the component at the present moment.
    engines_->CreateTick(*this);
    state_.Period = engines_->Scales()->ComputeTemporalPeriod(ClockSource().Now().OleDate());

    // Colours (the result does not matter here); Timer1 on.
    SetClockColor();
    loaded_ = true;
    SetTimer1Enabled(true);
}

void ClockForm::ShowAsStarted() {
    if ((windowState() & Qt::WindowMinimized) && shell_->TrayIconShown()) {
        shell_->SetWindowState(WindowStateIndex::Minimized);
        return;
    }
    show();
}

void ClockForm::PlaceWindow(const StoredPlacement& stored) {
    const TwipScale tw = Twips();
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect work = primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768);

    // The client area is what is kept: a window manager adds its frame only once the window
    // is mapped, and a frame counted before it is known makes the window creep or shrink.
    WindowRect r = ResolvePlacement(stored, tw, work.width(), work.height(),
                                    RoundToInt32(DesignedClientWidthTwips / tw.X),
                                    RoundToInt32(DesignedClientHeightTwips / tw.Y));

    std::vector<WindowRect> screens;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect a = s->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    // Corrected with room for the caption above the client, so that it stays on the screen.
    const int frame = FrameHeight();
    r.Top -= frame;
    r.Height += frame;
    r = CorrectWindowRect(r, screens, MinimumTrackWidth, MinimumHeight());
    r.Top += frame;
    r.Height -= frame;
    setGeometry(r.Left, r.Top, std::max(1, r.Width), std::max(1, r.Height));
}

// ---- Shutdown -------------------------------------------------------------------------------

void ClockForm::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    saveSoon_.stop();  // written below
    // Help windows and dialogs closed (each dialog's own closing runs: music it shows
    // stops, what it keeps is saved); no tick after this point; the icon removed.
    CloseAllHelp();
    CloseDialogs();
    SetTimer1Enabled(false);
    if (state_.ShowInTaskTray) shell_->RemoveTaskTrayIcon();
    if (loaded_) SaveOrReport(true);
    // Store released above; the component last.
    face_->SetEphemeris(nullptr);
    engines_->ReleaseAtShutdown();
    emit Unloaded();
}

void ClockForm::SaveSettings() {
    if (!loaded_ || unloaded_) return;
    SaveOrReport(false);
}

void ClockForm::SaveOrReport(bool stopSound) {
    try {
        SettingsStore store;
        OpenOwnSettings(store);
        WriteSettings(store, stopSound);
        store.Sync();
    } catch (const SettingsError& e) {
        ReportSaveFailure(e.what());
    }
}

void ClockForm::ReportSaveFailure(const std::string& what) {
    qWarning("settings: %s", what.c_str());
    if (saveFailureReported_) return;
    saveFailureReported_ = true;
    const std::string text = "設定を保存できませんでした。\n" + what;
    if (parts_.reportProblem) {
        parts_.reportProblem(text);
    } else {
        QMessageBox::warning(isVisible() ? this : nullptr, QStringLiteral("Vireo"), QString::fromStdString(text));
    }
}

void ClockForm::ReportMusicFailure(const std::string& file, const std::string& why) {
    const QString name = QFileInfo(QString::fromStdString(file)).fileName();
    qWarning("music: cannot play %s: %s", file.c_str(), why.c_str());
    // The play buttons are back at "play" already; the icon says why, where there is one.
    if (shell_ && shell_->TrayIconShown())
        shell_->TrayIcon()->showMessage(QStringLiteral("再生できません"), name + QLatin1Char('\n') + QString::fromStdString(why),
                                        QSystemTrayIcon::Warning, 10000);
}

void ClockForm::WriteSettings(SettingsStore& store, bool stopSound) {
    // Music stopped, chime output closed.
    if (stopSound) {
        if (Music()) Music()->StopMusic();
        if (Signal()) Signal()->MidiClose();
    }
    // The observer in force; the client rectangle the window restores to, and its state.
    Ephemeris* e = Component();
    const ObserverSettings observer{e->ObserverLongitude(), e->ObserverLatitude(), e->ObserverHeight(),
                                    e->ObserverTimeZone()};
    WriteClockSettings(store, state_, alarms_, observer, timer1Interval_, ToTwips(NormalClientRect(), Twips()),
                       WindowStateIndexNow());
}

void ClockForm::EndProgram() {
    exitRequested_ = true;
    close();
}

void ClockForm::closeEvent(QCloseEvent* event) {
    // The window's own close command minimises when the option says so; the exit command,
    // a termination signal and the session's end always close.
    const bool userClose = event->spontaneous() && !exitRequested_;
    if (CloseRequestMinimizes(userClose, state_.CloseButtonMinimized) && loaded_ && !unloaded_) {
        shell_->SetWindowState(WindowStateIndex::Minimized);
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

// ---- The tick -------------------------------------------------------------------------------

void ClockForm::Timer1_Timer() {
    ClockTick* tick = engines_->Tick();
    if (!tick || unloaded_) return;
    if (tick->Timer1_Timer()) Timer1->CountWork();
}

void ClockForm::SetTimer1Enabled(bool on) { Timer1->SetEnabled(on && loaded_ && !unloaded_); }

std::int32_t ClockForm::ScaleTimeNow() {
    double t = static_cast<float>(ClockSource().Now().SecondsOfDay);
    return engines_->Scales()->ComputeScaleTime(t);
}

// ---- Display steps --------------------------------------------------------------------------

void ClockForm::ShowReadouts(std::int32_t v) { face_->ShowReadouts(v); }

bool ClockForm::IsMinimized() const { return isMinimized() || !isVisible(); }

void ClockForm::DrawClockScale() { face_->DrawClockScale(); }

void ClockForm::DrawHands(std::int32_t v) { face_->DrawHands(v); }

void ClockForm::SetFormScale() {
    if (isMinimized()) return;
    face_->SetFormScale();
}

void ClockForm::SetDialLabels() { face_->SetDialLabels(); }

// ---- Colours --------------------------------------------------------------------------------

OleColor ClockForm::GetSysColor(int index) const {
    // System colours from the window's palette:
    //   window (COLOR_WINDOW)           -> QPalette::Base, the background of text areas
    //   window text (COLOR_WINDOWTEXT)  -> QPalette::Text
    //   tooltip text (COLOR_INFOTEXT)   -> QPalette::ToolTipText
    //   tooltip background (COLOR_INFOBK) -> QPalette::ToolTipBase
    //   desktop (COLOR_BACKGROUND)      -> QPalette::Highlight: no toolkit reports the
    //     desktop's colour, and the theme's accent is the closest steady stand-in (a deep
    //     blue in the default themes, as the classic desktop was).
    const QPalette pal = palette();
    switch (index) {
    case ColorWindow: return QColorToOle(pal.color(QPalette::Active, QPalette::Base));
    case ColorWindowText: return QColorToOle(pal.color(QPalette::Active, QPalette::Text));
    case ColorInfoText: return QColorToOle(pal.color(QPalette::Active, QPalette::ToolTipText));
    case ColorInfoBk: return QColorToOle(pal.color(QPalette::Active, QPalette::ToolTipBase));
    case ColorBackground: return QColorToOle(pal.color(QPalette::Active, QPalette::Highlight));
    default: return QColorToOle(pal.color(QPalette::Active, QPalette::Window));
    }
}

OleColor ClockForm::ContrastColor(OleColor c) const {
    return vireo::ContrastColor(c, [this](int i) { return GetSysColor(i); });
}

OleColor ClockForm::InvertColor(OleColor c) const {
    return vireo::InvertColor(c, [this](int i) { return GetSysColor(i); });
}

bool ClockForm::SetClockColor() {
    SchemeInputs in;
    in.BackgroundMode = state_.BackgroundMode;
    in.UserBackColor = state_.UserBackColor;
    in.UserForeColor = state_.UserForeColor;
    in.SysColor = [this](int i) { return GetSysColor(i); };
    in.SunBand = [this] {
        return sunBand_.Band(ClockSource().Now().OleDate(), [this] {
            SunObject& sun = Component()->Sun();
            return SunBandWatch::Sun{sun.Altitude() + state_.HorizonCorrection, sun.RiseSetDepression()};
        });
    };
    if (!Component()) in.SunBand = nullptr;
    // The first choice is shown even when it equals the initial {0, 0} (black on black).
    if (!SelectClockColor(in, colors_) && colorsApplied_) return false;
    ApplyColors();
    return true;
}

void ClockForm::ReapplyColorScheme() {
    sunBand_.Invalidate();
    SetClockColor();
    ApplyColors();
    DrawClockScale();
}

void ClockForm::ApplyColors() {
    const SysColorFunction sys = [this](int i) { return GetSysColor(i); };
    face_->SetColors(OleToQColor(ResolveColor(colors_.Back, sys)), OleToQColor(ResolveColor(colors_.Fore, sys)));
    face_->SetReadoutBoxed(state_.BackgroundMode != kSchemeSeeThrough);
    colorsApplied_ = true;
    face_->SetKeyColorTransparent(shell_->SeeThroughShown());
}

// ---- Scale and readout ----------------------------------------------------------------------

void ClockForm::SetCaption() { setWindowTitle(Caption()); }

QString ClockForm::Caption() const {
    return QString::fromStdString(LoadResString(ScaleNameBase + state_.ClockMode)) + QStringLiteral(" - Vireo");
}

void ClockForm::mnuContextMode_Click(int index) {
    if (!kClockMode.Accepts(index)) return;
    state_.ClockMode = index;
    menu_->SetClockMode(index);
    face_->SetClockMode(index);
    SetCaption();
    SetDialLabels();
    if (Signal()) {
        Signal()->MidiClose();
        Signal()->ScaleChanged();
    }
    const bool wasEnabled = Timer1->Enabled();
    SetTimer1Enabled(false);
    DrawClockScale();
    if (engines_->Scales()) {
        const std::int32_t v = ScaleTimeNow();
        DrawHands(v);
        ShowReadouts(v);
    }
    if (wasEnabled) SetTimer1Enabled(true);
}

void ClockForm::mnuContextLabel_Click(int index) {
    state_.DigitalMode = index;
    menu_->SetDigitalMode(index);
    face_->SetDigitalMode(index);
    SetDialLabels();
}

void ClockForm::mnuContextLocation_Click() {
    if (!Component() || unloaded_) return;
    const bool wasEnabled = Timer1->Enabled();
    SetTimer1Enabled(false);
    if (Signal()) Signal()->MidiClose();
    const bool changed = Component()->EditObserver(this);
    // The program may have been told to end while the dialog was open.
    if (unloaded_ || !Component()) return;
    if (changed) {
        state_.HorizonCorrection = HorizonCorrectionFor(Component()->ObserverHeight());
        state_.Period = engines_->Scales()->ComputeTemporalPeriod(ClockSource().Now().OleDate());
        sunBand_.Invalidate();
        if (Signal()) Signal()->ScaleChanged();
    }
    if (wasEnabled) SetTimer1Enabled(true);
}

void ClockForm::Label1_Click() {
    if (state_.MusicPlayMode == kPlayModeStop) return;
    if (Signal()) Signal()->StopAlarmAndMusic();
    state_.AlarmIndex = kNoAlarm;
}

void ClockForm::ConnectMenu() {
    connect(menu_, &ClockMenu::mnuContextReturn_Click, this,
            [this](int index) { shell_->SetWindowState(static_cast<WindowStateIndex>(index)); });
    connect(menu_, &ClockMenu::mnuContextMode_Click, this, &ClockForm::mnuContextMode_Click);
    connect(menu_, &ClockMenu::mnuContextLabel_Click, this, &ClockForm::mnuContextLabel_Click);
    // The observer dialog is modal: run it after the menu has closed.
    connect(menu_, &ClockMenu::mnuContextLocation_Click, this, &ClockForm::mnuContextLocation_Click,
            Qt::QueuedConnection);
    connect(menu_, &ClockMenu::mnuContextHelp_Click, this, [] { ShowHelpContents(); });
    // Queued, like the observer: the dialogs open once the menu has closed.
    connect(menu_, &ClockMenu::mnuContextAbout_Click, this, &ClockForm::mnuContextAbout_Click,
            Qt::QueuedConnection);
    connect(menu_, &ClockMenu::mnuContextPlay_Click, this, &ClockForm::mnuContextPlay_Click,
            Qt::QueuedConnection);
    connect(menu_, &ClockMenu::mnuContextOption_Click, this, &ClockForm::mnuContextOption_Click,
            Qt::QueuedConnection);
    connect(menu_, &ClockMenu::mnuContextAlarm_Click, this, &ClockForm::mnuContextAlarm_Click,
            Qt::QueuedConnection);
    connect(menu_, &ClockMenu::mnuContextEnd_Click, this, &ClockForm::EndProgram, Qt::QueuedConnection);

    connect(face_, &ClockFace::ContextMenuRequested, this, [this](const QPoint& pos) { shell_->PopupMenu(pos); });
    connect(face_, &ClockFace::ReadoutClicked, this, &ClockForm::Label1_Click);
    connect(face_, &ClockFace::TipTextChanged, this, [this](const QString& tip) {
        if (state_.ShowInTaskTray) shell_->SetTipText(tip.toStdString());
    });
    connect(shell_, &WindowShell::RestoredFromTray, this, &ClockForm::RefreshAfterRestore);
    connect(shell_, &WindowShell::SeeThroughChanged, this, [this] {
        ApplyColors();
        DrawClockScale();
    });
}

void ClockForm::RefreshAfterRestore() {
    if (!loaded_ || unloaded_ || IsMinimized()) return;
    // Colours and hands were left alone while the window was away.
    if (SetClockColor()) DrawClockScale();
    if (engines_->Scales()) DrawHands(ScaleTimeNow());
}

void ClockForm::mousePressEvent(QMouseEvent* event) {
    // A round window moves with its face; a rectangular one keeps its caption for that. The
    // window manager's move starts once a press: a move asked for again from the motion that
    // follows would outlast the release, and the window would follow the pointer on its own.
    if (event->button() == Qt::LeftButton && shell_->StartFaceDrag(event->buttons())) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

// ---- Window geometry ------------------------------------------------------------------------

TwipScale ClockForm::Twips() const {
    const QScreen* s = screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return TwipScale{};
    // Per screen pixel, not per pixel of Qt's own scaling (QT_SCALE_FACTOR and the like), so
    // that a stored place is the same place on the screen whatever the scale.
    const double dpr = s->devicePixelRatio() > 0 ? s->devicePixelRatio() : 1.0;
    return TwipScale::FromDpi(s->logicalDotsPerInchX() / dpr, s->logicalDotsPerInchY() / dpr);
}

int ClockForm::CaptionHeight() const {
    // The caption height a frame adds; the style's title bar stands for the system metric.
    const int caption = style() ? style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) : 0;
    return std::max(caption, 0);
}

int ClockForm::FrameHeight() const {
    const int known = frameGeometry().height() - geometry().height();
    if (known > 0) return known;
    // Not mapped yet: a frameless window has none, any other at least its caption.
    return (windowFlags() & Qt::FramelessWindowHint) ? 0 : CaptionHeight();
}

int ClockForm::MinimumHeight() const { return MinimumWindowHeight(MinimumTrackWidth, CaptionHeight()); }

WindowRect ClockForm::NormalClientRect() const {
    QRect normal = geometry();
    if (WindowStateIndexNow() != WindowStateIndex::Normal) {
        const QRect n = normalGeometry();
        if (n.isValid() && !n.isEmpty()) normal = n;
    }
    return {normal.x(), normal.y(), normal.width(), normal.height()};
}

void ClockForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    face_->setGeometry(rect());
    Form_Resize();
    if (loaded_ && !unloaded_) saveSoon_.start();
}

void ClockForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (loaded_ && !unloaded_) saveSoon_.start();
}

void ClockForm::Form_Resize() {
    const int minimumClient = MinimumHeight() - FrameHeight();
    if (height() < minimumClient && !isMinimized()) {
        // Raises another resize event, which does the rest. A window grown at the bottom of
        // its screen grows upwards instead.
        QRect grown(geometry().topLeft(), QSize(width(), minimumClient));
        if (const QScreen* s = screen()) {
            const QRect work = s->availableGeometry();
            if (grown.bottom() > work.bottom()) grown.moveBottom(work.bottom());
        }
        setGeometry(grown);
        return;
    }
    if (!loaded_ || unloaded_) return;
    SetFormScale();
    DrawClockScale();
    const std::int32_t v = ScaleTimeNow();
    DrawHands(v);
    ShowReadouts(v);
}

void ClockForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) RefreshAfterRestore();
}

void ClockForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // Esc silences whatever sounds, and ends a sounding alarm.
        if (Signal()) Signal()->StopAlarmAndMusic();
        else if (Music()) Music()->StopMusic();
        state_.AlarmIndex = kNoAlarm;
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- Single instance ------------------------------------------------------------------------

void ClockForm::RememberActiveWindow() {
    if (QWidget* w = QApplication::activeWindow()) lastActiveWindow_ = w;
}

void ClockForm::BringLastActiveWindowForward() {
    if (unloaded_) return;
    // The clock itself first: normal, shown (also from the notification area) and in front.
    if (IsMinimized()) {
        shell_->RestoreFromTray();
    } else {
        raise();
        shell_->ForceForegroundWindow();
    }
    // Then, on top of it, its own dialog that was last in use (a modal one always); the help
    // window is not the clock's to bring.
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog && lastActiveWindow_) {
        const std::vector<QWidget*> owned = OwnedDialogs();
        if (std::find(owned.begin(), owned.end(), lastActiveWindow_.data()) != owned.end()) dialog = lastActiveWindow_;
    }
    if (dialog && dialog != this && dialog->isVisible()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

}  // namespace vireo
