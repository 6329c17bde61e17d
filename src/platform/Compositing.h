#pragma once
// Whether the desktop composites windows, so that a see-through window really shows what lies
// behind it. On X11 that is whether a compositing manager owns the selection
// _NET_WM_CM_S<screen>, heard as it comes and goes (no polling); Wayland and Windows always
// composite, and so does the offscreen platform of the tests.

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <cstdint>

namespace vireo {

class CompositorWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CompositorWatch(QObject* parent = nullptr);
    ~CompositorWatch() override;

    bool Running() const { return running_; }

signals:
    void RunningChanged(bool running);

protected:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool AskX11();

    bool running_ = true;
    bool x11_ = false;
    std::uint32_t selection_ = 0;  // the _NET_WM_CM_S<n> atom
    std::uint8_t notifyEvent_ = 0; // XFixes' selection-notify event code
};

}  // namespace vireo
