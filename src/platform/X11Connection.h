#pragma once
// The X connection Qt's xcb platform holds, for the few things the program asks the X server
// itself; null on every other platform. Included only where xcb is available.

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace vireo {

inline xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace vireo
