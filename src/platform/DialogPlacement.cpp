#include "platform/DialogPlacement.h"

#include <QApplication>
#include <QMargins>
#include <QWidget>

#include <algorithm>

namespace vireo {

namespace {

QPoint CentreOn(const QRect& workArea, const QSize& dialog) {
    // Centred within the work area itself, not offset from the screen's origin: a panel on
    // the left or top would otherwise push the dialog off centre.
    return {workArea.left() + (workArea.width() - dialog.width()) / 2,
            workArea.top() + (workArea.height() - dialog.height()) / 2};
}

QMargins FrameMarginsOf(const QWidget* w) {
    const QRect f = w->frameGeometry(), g = w->geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

QMargins ExpectedFrameMargins(const QWidget* dialog) {
    const QMargins own = FrameMarginsOf(dialog);
    if (!own.isNull() || (dialog->windowFlags() & Qt::FramelessWindowHint)) return own;
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == dialog || !w->isVisible() || (w->windowFlags() & Qt::FramelessWindowHint)) continue;
        const QMargins m = FrameMarginsOf(w);
        if (!m.isNull()) return m;
    }
    return {};
}

}  // namespace

QSize ExpectedFrameSize(const QWidget* dialog) {
    const QMargins m = ExpectedFrameMargins(dialog);
    return dialog->size().grownBy(m).expandedTo(dialog->frameGeometry().size());
}

void MoveFrameTo(QWidget* dialog, const QPoint& frameTopLeft) {
    // A created window moves its client area while it has no frame (Qt counts the frame it
    // knows, none yet); one not created yet is placed by its frame already.
    if (dialog->testAttribute(Qt::WA_WState_Created) && FrameMarginsOf(dialog).isNull()) {
        const QMargins m = ExpectedFrameMargins(dialog);
        dialog->move(frameTopLeft + QPoint(m.left(), m.top()));
    } else {
        dialog->move(frameTopLeft);
    }
}

QPoint PlaceBesideClock(const QRect& workArea, const QRect& clockFrame, bool clockNormal,
                        const QSize& dialogFrame, DialogVerticalRule rule) {
    if (!clockNormal) return CentreOn(workArea, dialogFrame);
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    int left = clockFrame.left() + clockFrame.width();
    if (workRight < left + dialogFrame.width()) left = clockFrame.left() - dialogFrame.width();
    // Room on neither side (a large scale, a small screen): on the work area all the same,
    // over the clock rather than off the screen.
    left = std::clamp(left, workArea.left(), std::max(workArea.left(), workRight - dialogFrame.width()));
    int top = rule == DialogVerticalRule::TopAligned
                  ? clockFrame.top()
                  : clockFrame.top() + (clockFrame.height() - dialogFrame.height()) / 2;
    if (workBottom - dialogFrame.height() <= top) top = workBottom - dialogFrame.height();
    // Taller than the work area: its top (the title bar) stays on it.
    if (workArea.top() > top) top = workArea.top();
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
    top = std::clamp(top, workArea.top(), std::max(workArea.top(), workBottom - dialogFrame.height()));
    return {left, top};
}

Qt::WindowModality DialogModalityFor(WindowStateIndex clock) {
    return clock == WindowStateIndex::Minimized ? Qt::NonModal : Qt::ApplicationModal;
}

void BringDialogForward(QWidget* dialog) {
    if (!dialog) return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace vireo
