#include "platform/WindowBlit.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QWindow>
#include <QtEndian>

#ifdef VIREO_HAVE_XCB_XFIXES
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/X11Connection.h"
#endif

namespace vireo {

#ifdef VIREO_HAVE_XCB_XFIXES
namespace {

// What the server expects of a 32-bit image of the given depth: whole words per pixel and
// per row, in our byte order, the visual's channels where QImage keeps them.
bool TakesQImageWords(const xcb_setup_t* setup, xcb_visualid_t visual, int depth) {
    const int ourOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != ourOrder) return false;
    bool words = false;
    for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f))
        if (f.data->depth == depth) words = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!words) return false;
    for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s))
        for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d))
            for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return d.data->depth == depth && v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 && v.data->blue_mask == 0xff;
    return false;
}

}  // namespace
#endif

WindowBlit::~WindowBlit() {
#ifdef VIREO_HAVE_XCB_XFIXES
    xcb_connection_t* c = X11Connection();
    if (c && gc_) {
        xcb_free_gc(c, gc_);
        xcb_flush(c);
    }
#endif
}

void WindowBlit::Prepare(const void* handle, std::uint32_t window) {
#ifdef VIREO_HAVE_XCB_XFIXES
    xcb_connection_t* c = X11Connection();
    if (gc_) xcb_free_gc(c, gc_);
    gc_ = 0;
    depth_ = 0;
    handle_ = handle;
    window_ = window;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (geometry && attributes && TakesQImageWords(xcb_get_setup(c), attributes->visual, geometry->depth)) {
        depth_ = geometry->depth;
        gc_ = xcb_generate_id(c);
        const std::uint32_t noExposures = 0;
        xcb_create_gc(c, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    }
    std::free(geometry);
    std::free(attributes);
#else
    (void)handle;
    (void)window;
#endif
}

bool WindowBlit::Put(QWindow* window, const QImage& image, const QRegion& region) {
#ifdef VIREO_HAVE_XCB_XFIXES
    xcb_connection_t* c = X11Connection();
    // handle() first: winId() would create a native window that is not there yet.
    if (!c || !window || !window->handle() || !image.rect().contains(region.boundingRect())) return false;
    const auto id = static_cast<std::uint32_t>(window->winId());
    if (id != window_ || window->handle() != handle_) Prepare(window->handle(), id);
    const bool formatFits = depth_ == 24 ? image.format() == QImage::Format_RGB32 ||
                                               image.format() == QImage::Format_ARGB32_Premultiplied
                                         : depth_ == 32 && image.format() == QImage::Format_ARGB32_Premultiplied;
    if (!gc_ || !formatFits) return false;

    // As many rows to a request as the server takes (PutImage's header is 24 bytes).
    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(c)) * 4;
    for (const QRect& rect : region) {
        const std::size_t rowBytes = std::size_t(rect.width()) * 4;
        const std::size_t fit = maxBytes > 24 ? (maxBytes - 24) / rowBytes : 0;
        const int rowsPerRequest = int(std::min<std::size_t>(fit, 65535));
        if (rowsPerRequest < 1) return false;
        for (int top = rect.top(); top <= rect.bottom(); top += rowsPerRequest) {
            const int rows = std::min(rowsPerRequest, rect.bottom() + 1 - top);
            const std::size_t bytes = rowBytes * std::size_t(rows);
            if (bytes > rowsCapacity_) {
                rows_.reset(new unsigned char[bytes]);
                rowsCapacity_ = bytes;
            }
            for (int y = 0; y < rows; ++y)
                std::memcpy(rows_.get() + rowBytes * std::size_t(y),
                            image.constScanLine(top + y) + std::size_t(rect.left()) * 4, rowBytes);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, gc_, static_cast<std::uint16_t>(rect.width()),
                          static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(rect.left()),
                          static_cast<std::int16_t>(top), 0, static_cast<std::uint8_t>(depth_),
                          static_cast<std::uint32_t>(bytes), rows_.get());
        }
    }
    xcb_flush(c);
    return true;
#else
    (void)window;
    (void)image;
    (void)region;
    return false;
#endif
}

}  // namespace vireo
