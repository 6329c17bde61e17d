#pragma once
// How the clock window sits on the desktop: the notification icon in place of a taskbar
// button, the window's buttons, the round window and the see-through face.
//
// What the desktops honour (X11 through Qt's xcb platform, Wayland through Qt's wayland one):
// - No taskbar button: the window becomes a Qt::Tool window, which Qt marks
//   _NET_WM_WINDOW_TYPE_UTILITY on X11; the panels of KDE Plasma, Xfce, MATE, LXQt and GNOME
//   list no utility windows. Wayland has no such hint; there the button stays.
// - Minimise and maximise boxes: Qt writes them into _MOTIF_WM_HINTS; KWin, xfwm4, Openbox
//   and Mutter drop the box and the matching window-menu command. Qt has no access to the
//   window-menu itself, so the window manager's menu keeps "Resize" on a round window;
//   a round window is frameless, which leaves nothing to grab but that menu.
// - Round window: a frameless window with an elliptic input and output shape (the X SHAPE
//   extension); on Wayland the mask clips drawing and input inside the surface.
// - See-through face: the window has an alpha channel from its creation, and the face paints
//   its key-coloured background with alpha 0. That needs a compositor (KWin, Mutter, xfwm4
//   with compositing, xcompmgr, picom); without one the X server would show those pixels
//   black, so the face stays opaque until a compositor runs (SeeThroughChanged tells when).
// - Where no notification area exists (QSystemTrayIcon::isSystemTrayAvailable() false, e.g.
//   stock GNOME without an AppIndicator extension), the icon option keeps the taskbar
//   button and minimising does not hide the window: every command stays on the face's
//   menu. Should the notification area vanish while the window is hidden in it, the window
//   comes back minimised with its taskbar button.

//
// Wiring in the clock window (one WindowShell and one ClockMenu for the program's life):
// - start-up, in this order: SetTransparentForm(scheme == 3); SetCircleForm(true) when the
//   round option is set or scheme == 3; AddTaskTrayIcon() when the icon is wanted;
//   SetWindowButtons(CloseButtonMinimized). The window recolours its face and redraws the
//   dial when SeeThroughChanged arrives.
// - every second: SetTipText(tip) while the icon is on; this also notices a notification
//   area that appeared or went away.
// - mouse press/move on the face, the readout or a numeral: StartFaceDrag(buttons); right
//   button released there: PopupMenu(globalPos).
// - close request: CloseRequestMinimizes(spontaneous close, CloseButtonMinimized).
// - the menu's help command: ShowHelpContents(); shutdown: CloseAllHelp() first, then the
//   shell is destroyed, which removes the icon.
// - minimising with the icon shown hides the window by itself (the shell watches the
//   window's state changes); restoring from the icon emits RestoredFromTray.
// - a window with the icon shown is a Qt::Tool window, which Qt does not count when it
//   decides that the last window closed: end the program explicitly on exit.

#include "mainwindow/shell/ClockMenu.h"
#include "platform/Compositing.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QTimer>

#include <string>

class QSystemTrayIcon;
class QWidget;

namespace vireo {

// The round window's ellipse in client pixels, as left/top/right/bottom with right and bottom
// just outside it. Centre and radii follow the dial coordinates: the shorter side spans 2040
// dial units and the ellipse has radius 1010 of them, a little outside the marks at 950.
struct EllipseBounds {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
EllipseBounds CircleRegionBounds(int clientWidth, int clientHeight);
QRegion CircleRegion(int clientWidth, int clientHeight);

// A round window is moved by its face with the left button; a rectangular one keeps its
// caption bar for that.
bool ShouldDragByFace(Qt::MouseButtons buttons, bool round);

// Window flags from the options: the close button that minimises takes the minimise box
// away, a round window loses the maximise box and its frame, and the icon in the
// notification area takes the taskbar button away.
struct ShellOptions {
    bool CloseButtonMinimized = false;
    bool Round = false;
    bool NoTaskbarButton = false;
};
Qt::WindowFlags ComputeWindowFlags(const ShellOptions& options);

// Close request rule: the user's own close command minimises when the option says so;
// the exit command and the system always close.
bool CloseRequestMinimizes(bool fromUserCloseCommand, bool closeButtonMinimized);

// The program's icon: the window's, the notification icon's and the About window's.
QIcon DrawnClockIcon();

class WindowShell : public QObject {
    Q_OBJECT
public:
    // window: the clock's top-level window; menu: the context menu the icon opens too.
    WindowShell(QWidget* window, ClockMenu* menu, QObject* parent = nullptr);
    ~WindowShell() override;

    // Notification icon.
    void AddTaskTrayIcon();
    void RemoveTaskTrayIcon();
    // Takes the icon away and puts a new one in its place, for a panel that has lost it.
    void RepairTaskTrayIcon();
    bool TrayIconWanted() const { return trayWanted; }
    // True while the icon is on and a notification area shows it: only then does
    // minimising hide the window.
    bool TrayIconShown() const;
    // The tip as the face made it (its length is the face's rule).
    void SetTipText(const std::string& tipUtf8);
    QString TipText() const;
    // Where the notification icon is on the screen (empty when it is not shown).
    QRect TrayIconGeometry() const;
    QSystemTrayIcon* TrayIcon() const { return trayIcon; }

    void SetWindowButtons(bool closeButtonMinimized);
    void SetCircleForm(bool round);
    bool IsRound() const { return options.Round; }
    // The see-through face as an option. The window itself is made able to show through when
    // it is created (WindowShell::PrepareWindow), so switching never rebuilds it; the face
    // shows through only while a compositor runs, and is a plain opaque face otherwise.
    void SetTransparentForm(bool on);
    bool IsTransparent() const { return transparent; }
    bool SeeThroughShown() const;
    // Call before the window's native window exists.
    static void PrepareWindow(QWidget* window);

    // What the menu's rules need, from the window as it is now.
    MenuWindowState CurrentMenuState() const;
    // Right button released on the face, the readout or a numeral.
    void PopupMenu(const QPoint& globalPos);
    // Left button on the face, the readout or a numeral: a round window starts the window
    // system's own move. Returns true when the move began.
    bool StartFaceDrag(Qt::MouseButtons buttons);

    // The menu's window-state items: normal and maximised show the window (also one hidden
    // in the notification area) and bring it forward; minimised leaves only the icon when it
    // is shown. A round window is never maximised.
    void SetWindowState(WindowStateIndex index);
    // The icon's left click: normal state, visible, in front.
    void RestoreFromTray();
    // Brings the window forward even when another program has the focus.
    void ForceForegroundWindow();

signals:
    // After RestoreFromTray, so ClockForm can refresh what it skipped while minimised.
    void RestoredFromTray();
    // The face is to show the desktop through its key colour, or stop doing so (the option
    // changed, or a compositor came or went).
    void SeeThroughChanged(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyWindowFlags();
    void ApplyMask();
    void SyncTrayPresence();
    void HideIfMinimizedInTray();
    void HideInTray();
    void ApplyWindowFunctions();
    void ShowNormalFromHiding();

    QPointer<QWidget> window;
    QPointer<ClockMenu> menu;
    QSystemTrayIcon* trayIcon = nullptr;
    ShellOptions options;
    bool trayWanted = false;
    bool hiddenInTray = false;  // hidden by the minimise rule, not by ClockForm
    bool transparent = false;
    CompositorWatch compositor;
    // The icon's tool tip, shown by the shell: Qt's own never comes up in an XEmbed panel.
    QTimer trayTipWait;
    bool trayTipShown = false;
    void WatchTrayPointer(QEvent* event);
    void ShowTrayTip();
};

}  // namespace vireo
