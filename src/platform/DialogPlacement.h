#pragma once
// Where and how the clock's dialogs open: beside the clock window, kept to the desktop's work
// area (plain geometry in logical pixels, frame rectangles, tested without a screen), modal
// or not, and brought to the front.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include "platform/WindowStateIndex.h"

class QWidget;

namespace vireo {

enum class DialogVerticalRule {
    TopAligned,  // the dialog's top meets the clock's top (Options, alarms)
    Centred,     // the dialog is centred vertically on the clock (About)
};

// The dialog's top-left corner. A minimised or maximised clock centres the dialog on the work
// area. Otherwise the dialog touches the clock's right edge, or its left edge when it would
// cross the work area's right edge; vertically it follows rule and is then kept inside the
// work area (the top edge wins over the bottom edge when the dialog is taller).
QPoint PlaceBesideClock(const QRect& workArea, const QRect& clockFrame, bool clockNormal,
                        const QSize& dialogFrame, DialogVerticalRule rule);

// The player window: centred under the clock (above it when it would reach below the work
// area), kept inside the work area horizontally; centred on the work area while the clock is
// minimised or maximised.
QPoint PlaceUnderClock(const QRect& workArea, const QRect& clockFrame, bool clockNormal,
                       const QSize& dialogFrame);

// Modal beside the clock; modeless while it is minimised (the menu then comes from the
// notification icon of a hidden clock, which a modal dialog would leave unreachable).
Qt::WindowModality DialogModalityFor(WindowStateIndex clock);

// A dialog placed before it is shown has no frame yet: its frame is taken to be like that of
// a framed window already on the screen (the clock's), so that its frame, not its client
// area, lands where the placement put it.
QSize ExpectedFrameSize(const QWidget* dialog);
void MoveFrameTo(QWidget* dialog, const QPoint& frameTopLeft);

// Shows a dialog window, or brings an open one to the front with the focus.
void BringDialogForward(QWidget* dialog);

}  // namespace vireo
