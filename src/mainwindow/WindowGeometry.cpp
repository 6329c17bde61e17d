#include "mainwindow/WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vireo {

TwipScale TwipScale::FromDpi(double dpiX, double dpiY) {
    TwipScale s;
    if (dpiX > 0 && std::isfinite(dpiX)) s.X = 1440.0 / dpiX;
    if (dpiY > 0 && std::isfinite(dpiY)) s.Y = 1440.0 / dpiY;
    return s;
}

int MinimumWindowHeight(int minimumTrackWidth, int captionHeight) {
    return minimumTrackWidth + captionHeight;
}

int RoundToInt32(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    const double r = std::nearbyint(v);  // default rounding mode: halves to even
    return static_cast<int>(std::clamp(r, lo, hi));
}

namespace {
// Twips to pixels; non-finite stored values count as missing.
std::optional<int> toPixels(const std::optional<double>& twips, double perPixel) {
    if (!twips || !std::isfinite(*twips)) return std::nullopt;
    return RoundToInt32(*twips / perPixel);
}
}  // namespace

WindowRect ResolvePlacement(const StoredPlacement& stored, const TwipScale& scale, int workAreaWidth,
                           int workAreaHeight, int designedOuterWidth, int designedOuterHeight) {
    // The defaults are computed in twips from the designed size, as the window had it before.
    const double defLeft = (workAreaWidth * scale.X - designedOuterWidth * scale.X) / 2.0;
    const double defTop = (workAreaHeight * scale.Y - designedOuterHeight * scale.Y) / 2.0;
    WindowRect r;
    r.Left = toPixels(stored.Left, scale.X).value_or(RoundToInt32(defLeft / scale.X));
    r.Top = toPixels(stored.Top, scale.Y).value_or(RoundToInt32(defTop / scale.Y));
    r.Width = toPixels(stored.Width, scale.X).value_or(designedOuterWidth);
    r.Height = toPixels(stored.Height, scale.Y).value_or(designedOuterHeight);
    return r;
}

namespace {
long long overlapArea(const WindowRect& a, const WindowRect& b) {
    const long long w = std::min<long long>(a.Right(), b.Right()) - std::max(a.Left, b.Left);
    const long long h = std::min<long long>(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
    return (w > 0 && h > 0) ? w * h : 0;
}
long long distanceSquared(const WindowRect& a, const WindowRect& b) {
    const long long dx = (2LL * a.Left + a.Width) - (2LL * b.Left + b.Width);
    const long long dy = (2LL * a.Top + a.Height) - (2LL * b.Top + b.Height);
    return dx * dx + dy * dy;
}
}  // namespace

WindowRect CorrectWindowRect(WindowRect r, const std::vector<WindowRect>& screens, int minimumWidth,
                            int minimumHeight) {
    r.Width = std::max(r.Width, minimumWidth);
    r.Height = std::max(r.Height, minimumHeight);
    if (screens.empty()) return r;

    int maxW = 0, maxH = 0;
    for (const WindowRect& s : screens) {
        maxW = std::max(maxW, s.Width);
        maxH = std::max(maxH, s.Height);
    }
    r.Width = std::min(r.Width, std::max(maxW, minimumWidth));
    r.Height = std::min(r.Height, std::max(maxH, minimumHeight));

    // A window is usable while a grip of up to 32 x 32 pixels of it lies on one screen.
    const long long grip = static_cast<long long>(std::min(r.Width, 32)) * std::min(r.Height, 32);
    const WindowRect* best = nullptr;
    long long bestOverlap = 0;
    for (const WindowRect& s : screens) {
        const long long o = overlapArea(r, s);
        if (o >= grip) return r;
        if (o > bestOverlap) {
            bestOverlap = o;
            best = &s;
        }
    }
    if (!best) {
        best = &screens.front();
        for (const WindowRect& s : screens)
            if (distanceSquared(r, s) < distanceSquared(r, *best)) best = &s;
    }
    const WindowRect& s = *best;
    r.Left = std::clamp(r.Left, s.Left, std::max(s.Left, s.Right() - r.Width));
    r.Top = std::clamp(r.Top, s.Top, std::max(s.Top, s.Bottom() - r.Height));
    return r;
}

TwipRect ToTwips(const WindowRect& r, const TwipScale& scale) {
    return {RoundToInt32(r.Left * scale.X), RoundToInt32(r.Top * scale.Y), RoundToInt32(r.Width * scale.X),
            RoundToInt32(r.Height * scale.Y)};
}

}  // namespace vireo
