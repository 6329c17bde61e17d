#include "platform/DialogPlacement.h"

#include <QWidget>

namespace vireo {

namespace {

QPoint CentreOn(const QRect& workArea, const QSize& dialog) {
    // Centred within the work area itself, not offset from the screen's origin: a panel on
    // the left or top would otherwise push the dialog off centre.
    return {workArea.left() + (workArea.width() - dialog.width()) / 2,
            workArea.top() + (workArea.height() - dialog.height()) / 2};
}

}  // namespace

QPoint PlaceBesideClock(const QRect& workArea, const QRect& clockFrame, bool clockNormal,
                        const QSize& dialogFrame, DialogVerticalRule rule) {
    if (!clockNormal) return CentreOn(workArea, dialogFrame);
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    int left = clockFrame.left() + clockFrame.width();
    if (workRight < left + dialogFrame.width()) left = clockFrame.left() - dialogFrame.width();
    int top = rule == DialogVerticalRule::TopAligned
                  ? clockFrame.top()
                  : clockFrame.top() + (clockFrame.height() - dialogFrame.height()) / 2;
    if (workArea.top() > top)
        top = workArea.top();
    else if (workBottom - dialogFrame.height() <= top)
        top = workBottom - dialogFrame.height();
    return {left, top};
}

QPoint PlaceUnderClock(const QRect& workArea, const QRect& clockFrame, bool clockNormal,
                       const QSize& dialogFrame) {
    if (!clockNormal) return CentreOn(workArea, dialogFrame);
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    int left = clockFrame.left() + (clockFrame.width() - dialogFrame.width()) / 2;
    if (left < workArea.left())
        left = workArea.left();
    else if (left + dialogFrame.width() > workRight)
        left = workRight - dialogFrame.width();
    int top = clockFrame.top() + clockFrame.height();
    if (top + dialogFrame.height() > workBottom) top = clockFrame.top() - dialogFrame.height();
    return {left, top};
}

Qt::WindowModality DialogModalityFor(ClockWindowState clock) {
    return clock == ClockWindowState::Minimized ? Qt::NonModal : Qt::ApplicationModal;
}

void BringDialogForward(QWidget* dialog) {
    if (!dialog) return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace vireo
