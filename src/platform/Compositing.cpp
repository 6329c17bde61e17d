#include "platform/Compositing.h"

#include <QByteArray>
#include <QGuiApplication>

#ifdef VIREO_HAVE_XCB_XFIXES
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <string>

#include "platform/X11Connection.h"
#endif

namespace vireo {

#ifdef VIREO_HAVE_XCB_XFIXES
namespace {

// The screen the program runs on, from DISPLAY (":0.1" is screen 1), as Xlib finds it.
int ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon < 0 ? 0 : colon);
    return dot < 0 ? 0 : std::atoi(display.constData() + dot + 1);
}

xcb_window_t RootOf(xcb_connection_t* c, int screen) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i)
        if (i == screen) return it.data->root;
    return 0;
}

}  // namespace
#endif

CompositorWatch::CompositorWatch(QObject* parent) : QObject(parent) {
#ifdef VIREO_HAVE_XCB_XFIXES
    xcb_connection_t* c = X11Connection();
    if (!c) return;
    x11_ = true;
    const std::string name = "_NET_WM_CM_S" + std::to_string(ScreenNumber());
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    if (atom) selection_ = atom->atom;
    std::free(atom);
    // Told when a compositor takes the selection or lets it go, so the face follows at once.
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xfixes_id);
    const xcb_window_t root = RootOf(c, ScreenNumber());
    if (ext && ext->present && selection_ && root) {
        std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
        notifyEvent_ = static_cast<std::uint8_t>(ext->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        xcb_xfixes_select_selection_input(c, root, selection_,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(c);
        qGuiApp->installNativeEventFilter(this);
    }
    running_ = AskX11();
#endif
}

CompositorWatch::~CompositorWatch() {
    if (x11_ && notifyEvent_ && qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

bool CompositorWatch::AskX11() {
#ifdef VIREO_HAVE_XCB_XFIXES
    xcb_connection_t* c = X11Connection();
    if (!c || !selection_) return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection_), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
#else
    return true;
#endif
}

bool CompositorWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef VIREO_HAVE_XCB_XFIXES
    if (!notifyEvent_ || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != notifyEvent_) return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection != selection_) return false;
    const bool now = notify->owner != XCB_NONE;
    if (now != running_) {
        running_ = now;
        emit RunningChanged(now);
    }
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

}  // namespace vireo
