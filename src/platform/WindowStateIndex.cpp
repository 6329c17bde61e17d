#include "platform/WindowStateIndex.h"

namespace vireo {

WindowStateIndex StateIndexOf(Qt::WindowStates states) {
    if (states & Qt::WindowMinimized) return WindowStateIndex::Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowStateIndex::Maximized;
    return WindowStateIndex::Normal;
}

}  // namespace vireo
