#pragma once
// Puts part of a window's backing-store image straight onto its X11 window: one PutImage
// request, no round trip and none of Qt's flush bookkeeping. The clock's once-a-second repaint
// is a few thousand pixels, and on an idle desktop the fixed cost of the way there is most of
// what a tick spends. Elsewhere (Wayland, Windows, the offscreen platform) Put answers false
// and the caller flushes through Qt.

#include <cstddef>
#include <cstdint>
#include <memory>

class QImage;
class QRegion;
class QWindow;

namespace vireo {

class WindowBlit {
public:
    WindowBlit() = default;
    ~WindowBlit();
    WindowBlit(const WindowBlit&) = delete;
    WindowBlit& operator=(const WindowBlit&) = delete;

    // Sends region of image to the same place on window. The image holds the window's pixels as
    // its backing store does (one image pixel a window pixel). False, with nothing sent, when
    // the window is not an X11 window whose visual takes the image's pixels as they are.
    bool Put(QWindow* window, const QImage& image, const QRegion& region);

private:
    // Learns the depth and visual of an X window once; zero depth when its pixels are not
    // laid out as 32-bit xRGB / ARGB words in this machine's byte order.
    void Prepare(const void* handle, std::uint32_t window);

    // The window learnt about: Qt's platform window and its X id (ids are reused).
    const void* handle_ = nullptr;
    std::uint32_t window_ = 0;
    std::uint32_t gc_ = 0;
    int depth_ = 0;
    // The rows of one request, packed; kept for the next tick (and not cleared first).
    std::unique_ptr<unsigned char[]> rows_;
    std::size_t rowsCapacity_ = 0;
};

}  // namespace vireo
