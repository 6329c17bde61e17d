#pragma once
// Dial coordinates: origin at the centre of the drawing area, y upward, the shorter side
// spanning -1020..1020. Everything on the face is laid out in these units, so the dial stays
// round and centred at any window size; only this mapping knows about pixels.

#include <array>

namespace vireo {

struct DialPoint {
    double x = 0.0;
    double y = 0.0;
};

// A rectangle in dial units given as a control is: upper-left corner, width, height. With y
// upward it covers y from top down to top - height.
struct DialRect {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// A rectangle in pixels of the drawing area (y downward), before any rounding.
struct PixelRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// Rounds to the nearest integer, halves to even (the program's one rounding rule).
int RoundHalfEvenInt(double value);

class DialMapping {
public:
    DialMapping() = default;
    // The mapping for a drawing area of the given size in (logical) pixels. An empty area
    // gives an invalid mapping, on which nothing should be drawn.
    DialMapping(double widthPixels, double heightPixels);

    bool IsValid() const { return valid_; }
    double WidthPixels() const { return width_; }
    double HeightPixels() const { return height_; }

    // The corners of the drawing area in dial units.
    double ScaleLeft() const { return left_; }
    double ScaleTop() const { return top_; }
    double ScaleRight() const { return right_; }
    double ScaleBottom() const { return bottom_; }

    // Pixels per dial unit, the same in both directions.
    double PixelsPerUnit() const { return pixelsPerUnit_; }

    double ToPixelX(double x) const;
    double ToPixelY(double y) const;
    DialPoint ToPixel(DialPoint p) const { return {ToPixelX(p.x), ToPixelY(p.y)}; }
    PixelRect ToPixel(const DialRect& r) const;
    DialPoint FromPixel(DialPoint pixel) const;

    // The width and height of n screen pixels in dial units.
    double PixelsToUnits(double n) const;

private:
    bool valid_ = false;
    double width_ = 0.0;
    double height_ = 0.0;
    double left_ = -1020.0;
    double top_ = 1020.0;
    double right_ = 1020.0;
    double bottom_ = -1020.0;
    double pixelsPerUnit_ = 0.0;
};

inline constexpr double kDegreesToRadians = 3.14159265358979 / 180.0;
inline constexpr double kMarkRadius = 950.0;
inline constexpr double kMarkCircleRadius = 20.0;
inline constexpr double kNumeralScale = 0.85;
inline constexpr double kNumeralBox = 150.0;

// Line widths of the hour, minute and second hand in pixels: 40 dial units, then half of
// that each time, never below one pixel.
std::array<int, 3> HandWidths(const DialMapping& mapping);

// Centre of dial mark i (0..59, 0 at the top, clockwise), held in single precision.
DialPoint DialMarkPosition(int i);

// Box of numeral i (0..11, 0 at the top, clockwise): 150 units square, centred at 85 % of the
// radius of the numeral's mark.
DialRect NumeralLabelRect(int i);

// Box of the digital readout: a band across the lower half of the dial, two screen pixels
// larger on every side than 900 x 150 units.
DialRect ReadoutLabelRect(const DialMapping& mapping);

}  // namespace vireo
