#include "platform/WindowHints.h"

#include <QGuiApplication>

#ifdef VIREO_HAVE_XCB_XFIXES
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/X11Connection.h"
#endif

namespace vireo {

#ifdef VIREO_HAVE_XCB_XFIXES
namespace {

constexpr std::uint32_t kStateHint = 1u << 1;  // WM_HINTS flags: initial_state is given
constexpr std::uint32_t kNormalState = 1;
constexpr std::uint32_t kIconicState = 3;
constexpr int kWmHintsWords = 9;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

std::vector<std::uint32_t> Words(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
    std::vector<std::uint32_t> words;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 1024), nullptr);
    if (reply && reply->format == 32 && reply->type == type) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        words.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return words;
}

struct X11Window {
    xcb_connection_t* c = nullptr;
    xcb_window_t w = 0;
    explicit operator bool() const { return c && w; }
};

X11Window NativeOf(QWidget* window) {
    X11Window x;
    if (!window || !window->testAttribute(Qt::WA_WState_Created)) return x;
    x.c = X11Connection();
    if (x.c) x.w = static_cast<xcb_window_t>(window->winId());
    return x;
}

}  // namespace
#endif

void ForgetIconicState(QWidget* window) {
#ifdef VIREO_HAVE_XCB_XFIXES
    const X11Window x = NativeOf(window);
    if (!x) return;
    const xcb_atom_t netWmState = Atom(x.c, "_NET_WM_STATE");
    const xcb_atom_t hidden = Atom(x.c, "_NET_WM_STATE_HIDDEN");
    std::vector<std::uint32_t> states = Words(x.c, x.w, netWmState, XCB_ATOM_ATOM);
    if (std::erase(states, hidden) > 0) {
        xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, x.w, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(states.size()), states.data());
    }
    std::vector<std::uint32_t> hints = Words(x.c, x.w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    if (hints.size() >= 3 && (hints[0] & kStateHint) && hints[2] != kNormalState) {
        hints.resize(kWmHintsWords, 0);
        hints[2] = kNormalState;
        xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, x.w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                            kWmHintsWords, hints.data());
    }
    xcb_flush(x.c);
#else
    (void)window;
#endif
}

void SetWindowFunctions(QWidget* window, const WindowFunctions& functions) {
#ifdef VIREO_HAVE_XCB_XFIXES
    const X11Window x = NativeOf(window);
    if (!x) return;
    constexpr std::uint32_t kFunctionsGiven = 1, kDecorationsGiven = 2;
    constexpr std::uint32_t kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 16, kClose = 32;
    constexpr std::uint32_t kDecorAll = 1;
    const xcb_atom_t motif = Atom(x.c, "_MOTIF_WM_HINTS");
    // flags, functions, decorations, input mode, status: Qt's decorations are kept.
    std::vector<std::uint32_t> hints = Words(x.c, x.w, motif, motif);
    if (hints.size() < 5) hints = {kDecorationsGiven, 0, kDecorAll, 0, 0};
    hints.resize(5);
    std::uint32_t allowed = kMove | kClose;
    if (functions.Minimize) allowed |= kMinimize;
    if (functions.Maximize) allowed |= kMaximize;
    if (functions.Resize) allowed |= kResize;
    if ((hints[0] & kFunctionsGiven) && hints[1] == allowed) return;
    hints[0] |= kFunctionsGiven;
    hints[1] = allowed;
    xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, x.w, motif, motif, 32, 5, hints.data());
    xcb_flush(x.c);
#else
    (void)window;
    (void)functions;
#endif
}

bool CarriesIconicState(QWidget* window) {
#ifdef VIREO_HAVE_XCB_XFIXES
    const X11Window x = NativeOf(window);
    if (!x) return false;
    const xcb_atom_t hidden = Atom(x.c, "_NET_WM_STATE_HIDDEN");
    for (const std::uint32_t a : Words(x.c, x.w, Atom(x.c, "_NET_WM_STATE"), XCB_ATOM_ATOM))
        if (a == hidden) return true;
    const std::vector<std::uint32_t> hints = Words(x.c, x.w, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    return hints.size() >= 3 && (hints[0] & kStateHint) && hints[2] == kIconicState;
#else
    (void)window;
    return false;
#endif
}

}  // namespace vireo
