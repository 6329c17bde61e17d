#pragma once
// What a window manager reads when a window is mapped. A window that went into the
// notification area from a minimise keeps the iconic marks it had then (Qt adds to
// _NET_WM_STATE but never takes _NET_WM_STATE_HIDDEN away, and it maps the window before it
// sets WM_HINTS back to normal), so the window manager would map it minimised once more.

#include <QWidget>

namespace vireo {

// Takes the iconic marks off a window that is not mapped (X11; elsewhere nothing to do), so
// that it is mapped as a normal window next.
void ForgetIconicState(QWidget* window);

// Whether the X window carries _NET_WM_STATE_HIDDEN or an iconic WM_HINTS initial state (false
// off X11). For tests.
bool CarriesIconicState(QWidget* window);

// What the window manager may do to a framed window: moving and closing always, the rest as
// given (the Motif functions; Qt derives them from the buttons only). Most window managers
// follow them; openbox keeps its minimise button whatever they say. X11; elsewhere nothing.
struct WindowFunctions {
    bool Minimize = true;
    bool Maximize = true;
    bool Resize = true;
};
void SetWindowFunctions(QWidget* window, const WindowFunctions& functions);

}  // namespace vireo
