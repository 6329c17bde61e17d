#include "face/DialGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vireo {

int RoundHalfEvenInt(double value) {
    if (std::isnan(value)) return 0;
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
    r = std::clamp(r, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
    return static_cast<int>(r);
}

DialMapping::DialMapping(double widthPixels, double heightPixels) {
    if (!(widthPixels > 0.0) || !(heightPixels > 0.0)) return;
    valid_ = true;
    width_ = widthPixels;
    height_ = heightPixels;
    const double r = heightPixels / widthPixels;
    if (r >= 1.0) {
        left_ = -1020.0;
        right_ = 1020.0;
        top_ = 1020.0 * r;
        bottom_ = -1020.0 * r;
    } else {
        left_ = -1020.0 / r;
        right_ = 1020.0 / r;
        top_ = 1020.0;
        bottom_ = -1020.0;
    }
    pixelsPerUnit_ = widthPixels / (right_ - left_);
}

double DialMapping::ToPixelX(double x) const { return (x - left_) * pixelsPerUnit_; }

double DialMapping::ToPixelY(double y) const { return (top_ - y) * pixelsPerUnit_; }

PixelRect DialMapping::ToPixel(const DialRect& r) const {
    return {ToPixelX(r.left), ToPixelY(r.top), r.width * pixelsPerUnit_, r.height * pixelsPerUnit_};
}

DialPoint DialMapping::FromPixel(DialPoint pixel) const {
    if (!valid_) return {};
    return {left_ + pixel.x / pixelsPerUnit_, top_ - pixel.y / pixelsPerUnit_};
}

double DialMapping::PixelsToUnits(double n) const {
    return valid_ ? n / pixelsPerUnit_ : 0.0;
}

std::array<int, 3> HandWidths(const DialMapping& mapping) {
    double w = 40.0 * mapping.PixelsPerUnit();
    std::array<int, 3> widths{};
    for (int& width : widths) {
        // A tiny window could round the hour hand to nothing; one pixel keeps it visible.
        width = std::max(1, RoundHalfEvenInt(w));
        w = w / 2.0;
        if (w < 1.0) w = 1.0;
    }
    return widths;
}

DialPoint DialMarkPosition(int i) {
    const double angle = (90.0 - 6.0 * i) * kDegreesToRadians;
    const float x = static_cast<float>(kMarkRadius * std::cos(angle));
    const float y = static_cast<float>(kMarkRadius * std::sin(angle));
    return {x, y};
}

DialRect NumeralLabelRect(int i) {
    const DialPoint mark = DialMarkPosition(5 * i);
    const double half = kNumeralBox / 2.0;
    return {kNumeralScale * mark.x - half, kNumeralScale * mark.y + half, kNumeralBox, kNumeralBox};
}

DialRect ReadoutLabelRect(const DialMapping& mapping) {
    const double px = mapping.PixelsToUnits(2.0);
    const double py = px;
    return {-450.0 - px, -400.0 + py, 900.0 + 2.0 * px, 150.0 + 2.0 * py};
}

}  // namespace vireo
