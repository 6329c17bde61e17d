#pragma once
// The clock face: the dial (marks and numerals, cached in a pixmap), the three hands and the
// digital readout Label1. The main window makes it its drawing area and drives it:
//
//   start-up           SetEphemeris(e); SetClock(c); SetClockMode(m); SetDigitalMode(d);
//                      SetShowInTaskTray(t); SetColors(back, fore); SetReadoutBoxed(scheme != 3)
//   on resize          SetFormScale(); DrawClockScale(); DrawHands(v); ShowReadouts(v);
//   every tick         ShowReadouts(v); then, unless minimised, DrawHands(v)
//                      (and DrawClockScale() after SetColors() changed the colours)
//   change of scale    SetClockMode(m); SetDialLabels(); DrawClockScale(); DrawHands(v); ShowReadouts(v);
//   choice of readout  SetDigitalMode(d); SetDialLabels();
//   music              SetMusicPlaying(true / false)
//
// and listens to TipTextChanged (the tray icon's tooltip), ReadoutClicked (stop the music)
// and ContextMenuRequested (the menu). Presses and moves on the face, the numerals and the
// readout are left to the window, which drags a round clock by them.
//
// A tick repaints one rectangle around where the hands were and are, and the readout label;
// the dial is drawn again only when size, scale, numerals or colours change. The hour and
// minute hands are kept drawn over copies of the dial and turn in half-pixel steps, so on
// most ticks they are not drawn at all: only the second hand is.

#include "platform/OleColors.h"
#include "platform/UiFont.h"
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "face/DialGeometry.h"
#include "platform/WindowBlit.h"

class QPainter;

namespace vireo {

class Clock;
class Ephemeris;
class ReadoutLabel;

inline const QColor kTransparencyKey = OleToQColor(kTransparencyKeyOle);

class ClockFace : public QWidget {
    Q_OBJECT
public:
    explicit ClockFace(QWidget* parent = nullptr);
    ~ClockFace() override;

    // --- State the window hands in -------------------------------------------------------
    void SetClockMode(int clockMode);  // scale 0..7; takes effect at the next draw
    int ClockMode() const { return clockMode_; }
    void SetDigitalMode(int digitalMode);  // 1 the date line, anything else the time text
    int DigitalMode() const { return digitalMode_; }
    // While set, ShowReadouts builds the tip text and reports it with TipTextChanged.
    void SetShowInTaskTray(bool show) { showInTaskTray_ = show; }
    // Formatter of the sidereal scales and the lunisolar date; not owned; may be null
    // (those texts are then empty).
    void SetEphemeris(Ephemeris* ephemeris) { ephemeris_ = ephemeris; }
    // Where today's local date for the date line comes from; the computer's clock when null.
    // Not owned; must outlive the face.
    void SetClock(const Clock* clock);

    // Background and foreground of the face; marks, numerals, fill and hands take the
    // foreground. Repaints when they differ from those shown.
    void SetColors(const QColor& background, const QColor& foreground);
    QColor BackgroundColor() const { return background_; }
    QColor ForegroundColor() const { return foreground_; }
    // When on, a background of the transparency key colour is painted fully transparent,
    // for a see-through window (which must have Qt::WA_TranslucentBackground).
    void SetKeyColorTransparent(bool on);

    // The readout's look from the colour scheme: boxed (tooltip-text colour, single border,
    // opaque tooltip background) or plain (foreground colour, no border, transparent).
    void SetReadoutBoxed(bool boxed);
    // While music plays the readout is boxed whatever the scheme and its tooltip invites a
    // click to stop the music; afterwards it returns to the scheme's look.
    void SetMusicPlaying(bool playing);

    // --- The face's procedures -----------------------------------------------------------
    // Dial coordinates and hand widths for the present size; nothing while minimised.
    void SetFormScale();
    // Draws the dial again (after placing Label1 and setting the numerals); nothing while
    // the face is not visible.
    void DrawClockScale();
    // Numeral texts and the fonts of numerals and readout for the scale; nothing while the
    // face is not visible.
    void SetDialLabels();
    // Places the hands for scale time v (1/50 s since midnight on the scale on show).
    void DrawHands(std::int32_t v);
    // Sets the readout text (time or date line) and, in tray mode, the tip text.
    void ShowReadouts(std::int32_t v);

    // --- What the window and tests read --------------------------------------------------
    const DialMapping& Mapping() const { return mapping_; }
    const std::array<int, 3>& HandWidthsPixels() const { return handWidths_; }
    const std::array<DialPoint, 3>& HandEnds() const { return handEnds_; }
    QString NumeralText(int i) const;
    double NumeralPointSize() const { return numeralPoints_; }
    QString ReadoutText() const;
    QString TipText() const { return tipText_; }
    QLabel* Label1() const;
    // How often the dial has been drawn into its cache, and what the last DrawHands asked
    // to repaint.
    int DialRenderCount() const { return dialRenderCount_; }
    QRegion LastHandsRegion() const { return lastHandsRegion_; }
    // How many of the ticks' repaints went straight to the window's backing store.
    int DirectPaintCount() const { return directPaintCount_; }

    // Paints the part of the face (dial and hands, not the readout) within region, which the
    // painter is already clipped to; paintEvent does this for the region it was given.
    void PaintFace(QPainter& painter, const QRegion& region);

signals:
    void TipTextChanged(const QString& tip);
    // A click (any button but the right one) on the readout: the window stops the music.
    void ReadoutClicked();
    // The right button was released on the face, a numeral or the readout.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void UpdateMapping();
    void PlaceReadout();
    void RenderDial();
    bool DialCacheFits() const;
    void ApplyReadoutLook();
    void UpdateOpaquePainting();
    // Where the hands are drawn, in pixels: the hour and minute hands in their half-pixel steps.
    std::array<QPointF, 3> HandPixelEnds(const std::array<DialPoint, 3>& ends) const;
    // The box around hand j from the centre to end, its width and antialiasing included.
    QRect HandBox(const QPointF& end, int j) const;
    // The same around any stretch of hand j, from one point to another.
    QRect HandBox(const QPointF& from, const QPointF& to, int j) const;
    void DrawHand(QPainter& painter, const QPointF& end, int j);
    // A round dot of a hand's width, from a small picture drawn once for each quarter-pixel
    // offset: cheaper to copy than an antialiased ellipse is to fill.
    void DrawDot(QPainter& painter, const QPointF& at, int width);
    const QImage& DotImage(int width, int phaseX, int phaseY);
    // Brings the dial-with-slow-hands copy up to the hands at the given pixel ends.
    void UpdateSlowHands(const std::array<QPointF, 3>& ends);
    // A tick's repaint of area, painted into the window's backing store and sent to the
    // screen without Qt's repaint of the widget tree, only the changed part of it copied and
    // sent; false when that cannot be done exactly (the caller then repaints through Qt).
    bool PaintHandsDirect(const QRect& area, const QRegion& changed);
    // Boxes along a hand that together hold all its pixels.
    QRegion HandStrips(const QPointF& end, int j) const;
    // Whether a widget other than the face (and a boxed readout) is drawn over area.
    bool CoveredBySiblings(const QRect& area) const;

    DialMapping mapping_;
    std::array<int, 3> handWidths_{1, 1, 1};
    std::array<DialPoint, 3> handEnds_{};

    int clockMode_ = 0;
    int digitalMode_ = 1;
    bool showInTaskTray_ = false;
    Ephemeris* ephemeris_ = nullptr;
    const Clock* clock_ = nullptr;

    QColor background_{Qt::white};
    QColor foreground_{Qt::black};
    bool keyTransparent_ = false;
    bool readoutBoxed_ = true;
    bool musicPlaying_ = false;

    std::array<QString, 12> numerals_;
    double numeralPoints_ = 9.0;
    double readoutPoints_ = 9.0;

    QPixmap dial_;
    bool dialStale_ = true;
    int dialRenderCount_ = 0;
    // The dial with the hour hand, then with the hour and minute hands, over it, and where
    // they are in them.
    QPixmap hourHand_;
    QPixmap slowHands_;
    bool slowHandsStale_ = true;
    std::array<QPointF, 2> slowHandEnds_{};
    std::unordered_map<int, QImage> dots_;  // in the foreground colour
    QRegion lastHandsRegion_;
    // A tick's pixels, painted here first so the readout's box can be left out of what is sent.
    QImage direct_;
    WindowBlit blit_;
    int directPaintCount_ = 0;
    QString tipText_;
    ReadoutLabel* label1_ = nullptr;
    // The readout's text as last set, and the weekday name of the date line for its day.
    std::string readoutSource_;
    static constexpr std::int32_t kNoDay = INT32_MIN;
    std::int32_t weekdayDay_ = kNoDay;
    std::string weekdayName_;
};

}  // namespace vireo
