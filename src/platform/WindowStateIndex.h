#pragma once
// The clock window's state, one way for all: as the menu numbers it (the index of
// mnuContextReturn that would set it), as the settings keep it and as the dialogs ask it.

#include <Qt>

namespace vireo {

enum class WindowStateIndex : int { Normal = 0, Minimized = 1, Maximized = 2 };

// Minimised wins over maximised; a full-screen window counts as maximised.
WindowStateIndex StateIndexOf(Qt::WindowStates states);

}  // namespace vireo
