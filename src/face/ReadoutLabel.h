#pragma once
// Label1, the digital readout laid over the dial. A QLabel that draws its text centred on the
// font's em box without clipping (the readout's font is as tall as the label itself) and that
// reports its own clicks; presses and moves pass on to the face, so the window can still be
// dragged by it.

#include <QLabel>

class QPainter;
class QRectF;

namespace vireo {

class ReadoutLabel : public QLabel {
    Q_OBJECT
public:
    explicit ReadoutLabel(QWidget* parent = nullptr);

signals:
    // A button other than the right one was released over the readout.
    void Clicked();
    // The right button was released over the readout.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Draws text horizontally centred in rect, its em box centred vertically. The text is not
// clipped to rect.
void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text);

}  // namespace vireo
