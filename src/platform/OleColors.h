#pragma once
// Colours as the settings store them (an OLE colour: red in the low byte, then green, then
// blue) and as Qt draws them; the one conversion each way.

#include <QColor>

#include <cstdint>

namespace vireo {

// The colour a see-through face shows the desktop through.
inline constexpr std::int32_t kTransparencyKeyOle = 208 + 256 * 208 + 65536 * 208;

inline QColor OleToQColor(std::int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

inline std::int32_t QColorToOle(const QColor& color) {
    const QColor rgb = color.toRgb();
    return rgb.red() + 256 * rgb.green() + 65536 * rgb.blue();
}

}  // namespace vireo
