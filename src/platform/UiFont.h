#pragma once
// The Japanese font of the face and the dialogs (Debian's fonts-noto-cjk), when installed.

namespace vireo {

inline const char* const kFaceFontFamily = "Noto Sans CJK JP";

}  // namespace vireo
