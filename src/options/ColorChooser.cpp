#include "platform/OleColors.h"
#include "options/ColorChooser.h"

#include <QColor>
#include <QColorDialog>

namespace vireo {

namespace {

ColorDialogRunner& Runner() {
    static ColorDialogRunner runner;
    return runner;
}

// Qt keeps custom colours for the whole process (and in its own settings file); the chooser
// starts and ends with all of them black so none survives a call.
void ForgetCustomColors() {
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::black));
}

}  // namespace

std::int32_t ColorChoiceResult(bool accepted, std::int32_t rgbResult) {
    if (!accepted) return kColorCancelled;
    if (rgbResult < 0 || rgbResult > 0xFFFFFF) return kColorInvalid;
    return rgbResult;
}

std::int32_t SelectColor(std::int32_t initial, QWidget* owner) {
    ForgetCustomColors();
    bool accepted = false;
    QColor chosen;
    {
        QColorDialog dialog(owner);
        // Qt's own dialog: the desktop's native one needs the GLib event loop the clock does not run.
        dialog.setOption(QColorDialog::DontUseNativeDialog, true);
        dialog.setCurrentColor(OleToQColor(initial));
        accepted = Runner() ? Runner()(dialog) : dialog.exec() == QDialog::Accepted;
        chosen = accepted ? dialog.currentColor() : QColor();
    }
    ForgetCustomColors();
    if (accepted && !chosen.isValid()) return kColorCancelled;
    return ColorChoiceResult(accepted, accepted ? QColorToOle(chosen) : 0);
}

void SetColorDialogRunner(ColorDialogRunner runner) { Runner() = std::move(runner); }

}  // namespace vireo
