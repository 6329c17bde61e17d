#include "mainwindow/shell/WindowShell.h"

#include "platform/ResourceStrings.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsEffect>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace vireo {

namespace {

constexpr int ModeNameBase = 1050;
constexpr std::size_t TipCharacters = 63;  // 64-character field less its terminator
constexpr float DialHalfSpan = 1020.0f;
constexpr float CircleRadiusUnits = 1010.0f;

// Halves to even, as every conversion to an integer in the clock does.
int RoundHalfEven(float value) { return static_cast<int>(std::nearbyint(value)); }

// Repaints the window's finished picture with the key colour turned transparent, so the
// face code can simply paint its background in that colour.
class KeyColorEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::NoPad);
        QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        KeyOutColor(image);
        painter->save();
        painter->setWorldTransform(QTransform());
        painter->setCompositionMode(QPainter::CompositionMode_Source);
        painter->drawImage(offset, image);
        painter->restore();
    }
};

// QWidget::destroy is protected; releasing the native window is the only way to give an
// existing window the ARGB visual that translucency needs.
struct NativeWindowAccess : QWidget {
    static auto DestroyFunction() { return &NativeWindowAccess::destroy; }
};


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

WindowStateIndex StateIndexOf(Qt::WindowStates states) {
    if (states & Qt::WindowMinimized) return WindowStateIndex::Minimized;
    if (states & Qt::WindowMaximized) return WindowStateIndex::Maximized;
    return WindowStateIndex::Normal;
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

std::string CutToCharacters(const std::string& utf8, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte of the same character
        if (characters == maxCharacters) return utf8.substr(0, i);
        ++characters;
    }
    return utf8;
}

std::string MakeTrayTip(const std::string& timeText, int clockMode) {
    return CutToCharacters(timeText + " - " + LoadResString(ModeNameBase + clockMode), TipCharacters);
}

long KeyOutColor(QImage& image, QRgb key) {
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb opaqueKey = key | 0xFF000000u;
    long changed = 0;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == opaqueKey) {
                line[x] = 0;
                ++changed;
            }
        }
    }
    return changed;
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
    SyncTrayPresence();
}

void WindowShell::RemoveTaskTrayIcon() {
    trayWanted = false;
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
    if (trayIcon) trayIcon->setToolTip(QString::fromStdString(CutToCharacters(tipUtf8, TipCharacters)));
    SyncTrayPresence();
}

QString WindowShell::TipText() const { return trayIcon ? trayIcon->toolTip() : QString(); }

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
    if (flags == window->windowFlags()) return;
    // Changing the flags of a shown window hides it; bring it back as it was.
    const bool visible = window->isVisible();
    const Qt::WindowStates states = window->windowState();
    const QPoint position = window->pos();
    window->setWindowFlags(flags);
    window->move(position);
    if (visible) {
        window->setWindowState(states);
        window->show();
    }
    ApplyMask();
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
    if (!window || on == transparent) return;
    transparent = on;
    if (on) {
        window->setAttribute(Qt::WA_TranslucentBackground, true);
        window->setGraphicsEffect(new KeyColorEffect(window));
    } else {
        window->setGraphicsEffect(nullptr);
        window->setAttribute(Qt::WA_TranslucentBackground, false);
        window->setAttribute(Qt::WA_NoSystemBackground, false);
    }
    RecreateNativeWindow();
}

void WindowShell::RecreateNativeWindow() {
    if (!window || !window->testAttribute(Qt::WA_WState_Created)) return;
    const bool visible = window->isVisible();
    const Qt::WindowStates states = window->windowState();
    const QRect geometry = window->geometry();
    (window.data()->*NativeWindowAccess::DestroyFunction())(true, true);
    window->setGeometry(geometry);
    if (visible) {
        window->setWindowState(states);
        window->show();
    }
    ApplyMask();
}

MenuWindowState WindowShell::CurrentMenuState() const {
    MenuWindowState state;
    if (window) {
        state.State = StateIndexOf(window->windowState());
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
        hiddenInTray = false;
        window->showNormal();
        ForceForegroundWindow();
        break;
    case WindowStateIndex::Minimized:
        window->showMinimized();  // the state-change watch hides it when the icon is shown
        break;
    case WindowStateIndex::Maximized:
        if (options.Round) return;
        hiddenInTray = false;
        window->showMaximized();
        ForceForegroundWindow();
        break;
    }
}

void WindowShell::RestoreFromTray() {
    if (!window) return;
    hiddenInTray = false;
    window->showNormal();
    ForceForegroundWindow();
    emit RestoredFromTray();
}

void WindowShell::ForceForegroundWindow() {
    if (!window) return;
    window->raise();
    window->activateWindow();
    if (QWindow* handle = window->windowHandle()) handle->requestActivate();
}

void WindowShell::HideIfMinimizedInTray() {
    if (window && window->isVisible() && (window->windowState() & Qt::WindowMinimized)) {
        window->hide();
        hiddenInTray = true;
    }
}

bool WindowShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window) {
        switch (event->type()) {
        case QEvent::Resize:
            if (options.Round) ApplyMask();
            break;
        case QEvent::WindowStateChange:
            // Minimising with the icon on leaves only the icon; hide once the state settled.
            if (TrayIconShown() && (window->windowState() & Qt::WindowMinimized))
                QTimer::singleShot(0, this, [this] { if (TrayIconShown()) HideIfMinimizedInTray(); });
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vireo
