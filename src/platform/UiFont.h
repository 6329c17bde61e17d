#pragma once
// The Japanese font of the face and the dialogs (Debian's fonts-noto-cjk), when installed.

#include <QFont>

namespace vireo {

inline const char* const kFaceFontFamily = "Noto Sans CJK JP";

// The dialogs' designed font: base in the Japanese family where it is installed, at 9 points.
QFont DialogFont(const QFont& base);

}  // namespace vireo
