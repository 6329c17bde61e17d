#pragma once
// What a window shows, read two ways: from the screen and from the window's own backing store.

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>

namespace vireo::test {

// The window's pixels as the screen has them. With no window manager and no compositor the
// screen holds the windows' own pixels (a depth-32 window shows its colour channels).
inline QImage OnScreen(QWidget& w) {
    const QPoint at = w.mapToGlobal(QPoint());
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, at.x(), at.y(), w.width(), w.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// What the backing store of a widget that is a window of its own holds of it.
inline QImage Held(QWidget& w, QImage::Format format) {
    auto* device = static_cast<QImage*>(w.backingStore()->paintDevice());
    return device->copy(w.rect()).convertToFormat(format);
}

}  // namespace vireo::test
