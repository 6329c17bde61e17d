#pragma once
// The colour chooser of the Options dialog: Qt's own colour dialog, opened on a colour and
// forgetting the custom colours the user defines once it closes.

#include <cstdint>
#include <functional>

class QColorDialog;
class QWidget;

namespace vireo {

// Results besides a colour (0..0xFFFFFF, red in the low byte).
inline constexpr std::int32_t kColorCancelled = -1;
inline constexpr std::int32_t kColorInvalid = -2;

// initial: red + 256 * green + 65536 * blue; only its low three bytes are shown.
// Returns the chosen colour, kColorCancelled, or kColorInvalid.
std::int32_t SelectColor(std::int32_t initial, QWidget* owner);

// The result for what the dialog gave back: cancelled, or a colour that must lie between
// black and white (anything else, a system colour's top bit included, is invalid).
std::int32_t ColorChoiceResult(bool accepted, std::int32_t rgbResult);

// Tests replace the modal run of the prepared dialog: the runner may set a colour and returns
// whether the user accepted. An empty function restores the real exec().
using ColorDialogRunner = std::function<bool(QColorDialog&)>;
void SetColorDialogRunner(ColorDialogRunner runner);

}  // namespace vireo
