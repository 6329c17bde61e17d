#include "face/ReadoutLabel.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

namespace vireo {

namespace {
// The ideographic em box of a CJK font runs from 0.12 em below the baseline to 0.88 em above
// it; its middle is 0.38 em above the baseline. Centring that box keeps kanji and digits at
// the same height, whatever the font's (much taller) line spacing.
constexpr double kEmCentreAboveBaseline = 0.38;
}  // namespace

void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text) {
    if (text.isEmpty()) return;
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QFont& font = painter.font();
    const double em = font.pixelSize() > 0
                          ? font.pixelSize()
                          : font.pointSizeF() * painter.device()->logicalDpiY() / 72.0;
    const double advance = metrics.horizontalAdvance(text);
    const QPointF baseline(rect.center().x() - advance / 2.0,
                           rect.center().y() + kEmCentreAboveBaseline * em);
    painter.drawText(baseline, text);
}

ReadoutLabel::ReadoutLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_MouseNoMask);
}

void ReadoutLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    DrawCentredText(painter, QRectF(contentsRect()), text());
}

void ReadoutLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit ContextMenuRequested(event->globalPosition().toPoint());
    else
        emit Clicked();
    event->accept();
}

}  // namespace vireo
