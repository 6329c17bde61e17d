#include "mainwindow/shell/WindowShell.h"

#include "platform/ResourceStrings.h"
#include "platform/WindowHints.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace vireo {

namespace {

constexpr float DialHalfSpan = 1020.0f;
constexpr float CircleRadiusUnits = 1010.0f;

// Halves to even, as every conversion to an integer in the clock does.
int RoundHalfEven(float value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

QIcon DrawnClockIcon() {
    // A clock face drawn here, so the program needs no image files.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(128, 255, 255));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.drawLine(QPointF(16, 16), QPointF(16, 7));
    p.drawLine(QPointF(16, 16), QPointF(23, 16));
    return QIcon(pixmap);
}

EllipseBounds CircleRegionBounds(int clientWidth, int clientHeight) {
    if (clientWidth <= 0 || clientHeight <= 0) return {};
    // Pixels per dial unit: the shorter side spans -1020..1020 in either orientation.
    const float unit = static_cast<float>(std::min(clientWidth, clientHeight)) / (2.0f * DialHalfSpan);
    const float cx = static_cast<float>(clientWidth) / 2.0f + 0.5f;
    const float cy = static_cast<float>(clientHeight) / 2.0f + 0.5f;
    const float rx = CircleRadiusUnits * unit;
    const float ry = CircleRadiusUnits * unit;
    return {RoundHalfEven(cx - rx), RoundHalfEven(cy - ry), RoundHalfEven(cx + rx), RoundHalfEven(cy + ry)};
}

QRegion CircleRegion(int clientWidth, int clientHeight) {
    const EllipseBounds b = CircleRegionBounds(clientWidth, clientHeight);
    return QRegion(QRect(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top), QRegion::Ellipse);
}

bool ShouldDragByFace(Qt::MouseButtons buttons, bool round) {
    return round && (buttons & Qt::LeftButton);
}

Qt::WindowFlags ComputeWindowFlags(const ShellOptions& options) {
    Qt::WindowFlags flags = options.NoTaskbarButton ? Qt::Tool : Qt::Window;
    if (options.Round) return flags | Qt::FramelessWindowHint;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint;
    if (!options.CloseButtonMinimized) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

bool CloseRequestMinimizes(bool fromUserCloseCommand, bool closeButtonMinimized) {
    return fromUserCloseCommand && closeButtonMinimized;
}

WindowShell::WindowShell(QWidget* window_, ClockMenu* menu_, QObject* parent)
    : QObject(parent), window(window_), menu(menu_) {
    if (window) {
        window->installEventFilter(this);
        options.NoTaskbarButton = false;
    }
    trayTipWait.setSingleShot(true);
    trayTipWait.setInterval(700);
    connect(&trayTipWait, &QTimer::timeout, this, &WindowShell::ShowTrayTip);
    connect(&compositor, &CompositorWatch::RunningChanged, this, [this] {
        if (transparent) emit SeeThroughChanged(SeeThroughShown());
    });
    if (menu) {
        // Both the face's menu and the icon's come through here, so the state is always fresh.
        connect(menu->menu(), &QMenu::aboutToShow, this, [this] {
            if (menu) menu->PrepareMenu(CurrentMenuState());
        });
    }
}

WindowShell::~WindowShell() { delete trayIcon; }

void WindowShell::AddTaskTrayIcon() {
    trayWanted = true;
    if (!trayIcon) {
        QIcon icon = window ? window->windowIcon() : QIcon();
        if (icon.isNull()) icon = DrawnClockIcon();
        trayIcon = new QSystemTrayIcon(icon);
        if (menu) trayIcon->setContextMenu(menu->menu());
        connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                RestoreFromTray();
        });
    }
    trayIcon->setToolTip(QString());
    trayIcon->show();
    qApp->installEventFilter(this);  // the pointer over the icon, for its tool tip
    SyncTrayPresence();
}

void WindowShell::RemoveTaskTrayIcon() {
    trayWanted = false;
    qApp->removeEventFilter(this);
    trayTipWait.stop();
    if (trayTipShown) QToolTip::hideText();
    trayTipShown = false;
    if (trayIcon) {
        trayIcon->hide();
        delete trayIcon;
        trayIcon = nullptr;
    }
    SyncTrayPresence();
}

void WindowShell::RepairTaskTrayIcon() {
    if (!trayWanted || !trayIcon) return;
    // A fresh icon registers anew with a panel that lost the old one; the window's flags and
    // visibility are left as they are.
    const QString tip = trayIcon->toolTip();
    const QIcon icon = trayIcon->icon();
    delete trayIcon;
    trayIcon = nullptr;
    AddTaskTrayIcon();
    trayIcon->setIcon(icon);
    trayIcon->setToolTip(tip);
}

bool WindowShell::TrayIconShown() const {
    return trayWanted && trayIcon && QSystemTrayIcon::isSystemTrayAvailable();
}

void WindowShell::SetTipText(const std::string& tipUtf8) {
    if (trayIcon) trayIcon->setToolTip(QString::fromStdString(tipUtf8));
    if (trayTipShown) ShowTrayTip();  // a tip on show keeps up with the time
    SyncTrayPresence();
}

QString WindowShell::TipText() const { return trayIcon ? trayIcon->toolTip() : QString(); }

QRect WindowShell::TrayIconGeometry() const { return TrayIconShown() ? trayIcon->geometry() : QRect(); }

void WindowShell::SyncTrayPresence() {
    if (!window) return;
    const bool shown = TrayIconShown();
    if (options.NoTaskbarButton != shown) {
        options.NoTaskbarButton = shown;
        ApplyWindowFlags();
    }
    // A window hidden in the notification area must not stay hidden without it.
    if (!shown && hiddenInTray) {
        hiddenInTray = false;
        if (!window->isVisible()) window->showMinimized();
    }
    if (shown) HideIfMinimizedInTray();
}

void WindowShell::SetWindowButtons(bool closeButtonMinimized) {
    options.CloseButtonMinimized = closeButtonMinimized;
    ApplyWindowFlags();
}

void WindowShell::ApplyWindowFlags() {
    if (!window) return;
    constexpr Qt::WindowFlags managed = Qt::WindowType_Mask | Qt::FramelessWindowHint |
        Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    const Qt::WindowFlags flags = (window->windowFlags() & ~managed) | ComputeWindowFlags(options);
    if (flags == window->windowFlags()) {
        ApplyWindowFunctions();
        return;
    }
    // Changing the flags of a shown window hides it; bring it back as it was. The client area
    // is what stays put: a frame position would count the frame that a frameless window, or
    // one not yet mapped, does not have, and the window would move by it.
    const bool visible = window->isVisible();
    const Qt::WindowStates states = window->windowState();
    const QRect client = window->geometry();
    window->setWindowFlags(flags);
    window->setGeometry(client);
    if (visible) {
        window->setWindowState(states);
        window->show();
    }
    ApplyWindowFunctions();
    ApplyMask();
}

void WindowShell::ApplyWindowFunctions() {
    // What the buttons leave out, the window manager's menu and keys should not offer either.
    // A round window's functions stay Qt's (unlisted): openbox refuses every move, ours by the
    // face included, to a frameless window that lists them.
    if (!window || options.Round || !window->testAttribute(Qt::WA_WState_Created)) return;
    WindowFunctions functions;
    functions.Minimize = !options.CloseButtonMinimized;
    SetWindowFunctions(window, functions);
}

void WindowShell::SetCircleForm(bool round) {
    if (!window) return;
    if (round && (window->windowState() & Qt::WindowMaximized)) window->showNormal();
    options.Round = round;
    ApplyWindowFlags();
    ApplyMask();
}

void WindowShell::ApplyMask() {
    if (!window) return;
    if (options.Round)
        window->setMask(CircleRegion(window->width(), window->height()));
    else if (!window->mask().isEmpty())
        window->clearMask();
}

void WindowShell::SetTransparentForm(bool on) {
    if (on == transparent) return;
    transparent = on;
    emit SeeThroughChanged(SeeThroughShown());
}

bool WindowShell::SeeThroughShown() const { return transparent && compositor.Running(); }

void WindowShell::PrepareWindow(QWidget* window) {
    // A window that can show through is one with an alpha channel from the start: changing
    // that later means a new native window, which a window manager may never map again.
    window->setAttribute(Qt::WA_TranslucentBackground, true);
}

MenuWindowState WindowShell::CurrentMenuState() const {
    MenuWindowState state;
    if (window) {
        state.State = hiddenInTray ? WindowStateIndex::Minimized : StateIndexOf(window->windowState());
        state.WindowVisible = window->isVisible();
    }
    state.Round = options.Round;
    return state;
}

void WindowShell::PopupMenu(const QPoint& globalPos) {
    if (menu) menu->Popup(CurrentMenuState(), globalPos);
}

bool WindowShell::StartFaceDrag(Qt::MouseButtons buttons) {
    if (!window || !ShouldDragByFace(buttons, options.Round)) return false;
    QWindow* handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

void WindowShell::SetWindowState(WindowStateIndex index) {
    if (!window) return;
    switch (index) {
    case WindowStateIndex::Normal:
        ShowNormalFromHiding();
        ForceForegroundWindow();
        break;
    case WindowStateIndex::Minimized:
        // With the icon shown the window goes straight to it: a minimise asked of the window
        // manager first could reach it only after the window is shown again, and take it away.
        if (TrayIconShown()) {
            HideInTray();
        } else {
            window->showMinimized();
        }
        break;
    case WindowStateIndex::Maximized:
        if (options.Round) return;
        if (!window->isVisible()) ForgetIconicState(window);
        hiddenInTray = false;
        window->showMaximized();
        ForceForegroundWindow();
        break;
    }
}

void WindowShell::RestoreFromTray() {
    if (!window) return;
    ShowNormalFromHiding();
    ForceForegroundWindow();
    emit RestoredFromTray();
}

void WindowShell::ShowNormalFromHiding() {
    // A window hidden from a minimise would be mapped minimised again by the marks it kept.
    if (!window->isVisible()) ForgetIconicState(window);
    hiddenInTray = false;
    window->showNormal();
}

void WindowShell::ForceForegroundWindow() {
    if (!window) return;
    window->raise();
    window->activateWindow();
    if (QWindow* handle = window->windowHandle()) handle->requestActivate();
}

void WindowShell::HideIfMinimizedInTray() {
    if (!window || !window->isVisible() || !(window->windowState() & Qt::WindowMinimized)) return;
    HideInTray();
}

void WindowShell::HideInTray() {
    // The minimised state stays as it is: clearing it would map the window again (X maps an
    // iconic window to leave that state). Every way back out shows it normal.
    window->hide();
    hiddenInTray = true;
}

void WindowShell::WatchTrayPointer(QEvent* event) {
    const QRect icon = TrayIconGeometry();
    const bool over = !icon.isEmpty() && icon.contains(QCursor::pos());
    if (!over) {
        trayTipWait.stop();
        if (trayTipShown) QToolTip::hideText();
        trayTipShown = false;
    } else if (!trayTipShown && !trayTipWait.isActive() && event->type() != QEvent::Leave) {
        trayTipWait.start();
    }
}

void WindowShell::ShowTrayTip() {
    const QRect icon = TrayIconGeometry();
    if (icon.isEmpty() || !icon.contains(QCursor::pos()) || TipText().isEmpty()) {
        trayTipShown = false;
        return;
    }
    QToolTip::showText(QCursor::pos(), TipText());
    trayTipShown = true;
}

bool WindowShell::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::MouseMove:
        if (trayIcon && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) WatchTrayPointer(event);
        break;
    default:
        break;
    }
    if (watched == window) {
        switch (event->type()) {
        case QEvent::Resize:
            if (options.Round) ApplyMask();
            break;
        case QEvent::Show:
            ApplyWindowFunctions();  // the native window is there now, not yet mapped
            break;
        case QEvent::WindowStateChange:
            // Minimising with the icon on leaves only the icon; hide once the state settled.
            if (TrayIconShown() && (window->windowState() & Qt::WindowMinimized))
                QTimer::singleShot(0, this, [this] { if (TrayIconShown()) HideIfMinimizedInTray(); });
            // A round window is never maximised; a window manager that offers it anyway (openbox
            // cannot be told without refusing the window's moves) is answered with the normal size.
            if (options.Round && (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                QTimer::singleShot(0, this, [this] {
                    if (options.Round && (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                        window->showNormal();
                });
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vireo
