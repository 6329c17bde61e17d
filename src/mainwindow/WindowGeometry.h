#pragma once
// Window placement in twips as persisted, and the rules that keep a stored placement usable:
// the designed size, the centring default, the minimum height and a rectangle that must lie on
// a present screen. Plain logic; the window supplies screens and metrics in logical pixels.

#include <optional>
#include <vector>

namespace vireo {

struct WindowRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// Twips (1/1440 inch) per logical pixel: 15 at 96 dots per inch.
struct TwipScale {
    double X = 15.0;
    double Y = 15.0;
    static TwipScale FromDpi(double dpiX, double dpiY);
};

// The client area the window is designed with, in twips.
inline constexpr double DesignedClientWidthTwips = 3000.0;
inline constexpr double DesignedClientHeightTwips = 2715.0;

// Stand-in for the system's minimum tracking width of a window (logical pixels).
inline constexpr int MinimumTrackWidth = 136;

// Minimum outer height: the minimum tracking width plus the caption height.
int MinimumWindowHeight(int minimumTrackWidth, int captionHeight);

// Stored values, read as single precision; missing ones are empty.
struct StoredPlacement {
    std::optional<double> Left, Top, Width, Height;  // twips
};

// The placement start-up applies, in logical pixels: each missing value takes its default.
// The default position centres the window within a rectangle of the work area's size at the
// screen origin (the work area's own offset is not added), as the clock always did.
WindowRect ResolvePlacement(const StoredPlacement& stored, const TwipScale& scale, int workAreaWidth,
                           int workAreaHeight, int designedOuterWidth, int designedOuterHeight);

// Brings a stored rectangle back to something usable: at least the minimum size, no larger than
// the largest screen, and, when too little of it lies on any screen to grab it, moved fully onto
// the screen nearest to it. Screens are the available (work) areas of the present screens.
WindowRect CorrectWindowRect(WindowRect r, const std::vector<WindowRect>& screens, int minimumWidth,
                            int minimumHeight);

// Persisted twips of a pixel rectangle, each rounded to a 32-bit integer (halves to even).
struct TwipRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};
TwipRect ToTwips(const WindowRect& r, const TwipScale& scale);

// Rounds to the nearest integer, halves to even, clamped to the 32-bit range.
int RoundToInt32(double v);

}  // namespace vireo
