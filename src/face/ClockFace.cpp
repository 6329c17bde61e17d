#include "face/ClockFace.h"

#include <QBackingStore>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QWindow>

#include <cmath>
#include <cstring>

#include "ephemeris/Ephemeris.h"
#include "face/DialLabels.h"
#include "face/Hands.h"
#include "face/ReadoutLabel.h"
#include "face/Readouts.h"
#include "platform/ResourceStrings.h"
#include "timekeeping/Clock.h"

namespace vireo {

namespace {

QString ToQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// The face's Japanese UI font, regular weight, at a size in points.
QFont FaceFont(double points) {
    QFont font(QString::fromLatin1(kFaceFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setPointSizeF(points);
    return font;
}

// The hour and minute hands turn in steps that move their tips by half a pixel. A hand that
// has not moved that far keeps its pixels, so most ticks leave it alone; the step is well
// below what the eye can see on an antialiased line.
constexpr double kSlowHandStepPixels = 0.5;

// Round dots are placed on a grid of quarter pixels, one small picture for each offset.
constexpr double kDotSteps = 4.0;

double ToDotGrid(double pixels) { return std::round(pixels * kDotSteps) / kDotSteps; }

}  // namespace

ClockFace::ClockFace(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    label1_ = new ReadoutLabel(this);
    label1_->setFont(FaceFont(readoutPoints_));
    connect(label1_, &ReadoutLabel::Clicked, this, &ClockFace::ReadoutClicked);
    connect(label1_, &ReadoutLabel::ContextMenuRequested, this, &ClockFace::ContextMenuRequested);
    const auto texts = DialLabelTexts(clockMode_);
    for (int i = 0; i < 12; ++i) numerals_[i] = ToQString(texts[i]);
    ApplyReadoutLook();
    UpdateMapping();
}

ClockFace::~ClockFace() = default;

void ClockFace::SetClockMode(int clockMode) { clockMode_ = clockMode; }

void ClockFace::SetDigitalMode(int digitalMode) { digitalMode_ = digitalMode; }

void ClockFace::SetClock(const Clock* clock) { clock_ = clock; }

void ClockFace::SetColors(const QColor& background, const QColor& foreground) {
    if (background == background_ && foreground == foreground_) return;
    background_ = background;
    foreground_ = foreground;
    dots_.clear();
    dialStale_ = true;
    UpdateOpaquePainting();
    ApplyReadoutLook();
    update();
}

void ClockFace::SetKeyColorTransparent(bool on) {
    if (on == keyTransparent_) return;
    keyTransparent_ = on;
    dialStale_ = true;
    UpdateOpaquePainting();
    update();
}

void ClockFace::UpdateOpaquePainting() {
    const bool seeThrough = background_.alpha() < 255 || (keyTransparent_ && background_ == kTransparencyKey);
    setAttribute(Qt::WA_OpaquePaintEvent, !seeThrough);
}

void ClockFace::SetReadoutBoxed(bool boxed) {
    readoutBoxed_ = boxed;
    ApplyReadoutLook();
}

void ClockFace::SetMusicPlaying(bool playing) {
    musicPlaying_ = playing;
    ApplyReadoutLook();
}

void ClockFace::ApplyReadoutLook() {
    const bool boxed = readoutBoxed_ || musicPlaying_;
    QPalette palette = label1_->palette();
    if (boxed) {
        palette.setColor(QPalette::WindowText, palette.color(QPalette::ToolTipText));
        palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
        label1_->setFrameStyle(QFrame::Box | QFrame::Plain);
        label1_->setLineWidth(1);
    } else {
        palette.setColor(QPalette::WindowText, foreground_);
        label1_->setFrameStyle(QFrame::NoFrame);
    }
    label1_->setPalette(palette);
    label1_->setAutoFillBackground(boxed);
    label1_->setToolTip(musicPlaying_ ? ToQString(LoadResString(1020)) : QString());
}

void ClockFace::UpdateMapping() {
    mapping_ = DialMapping(width(), height());
    handWidths_ = HandWidths(mapping_);
}

void ClockFace::SetFormScale() {
    if (window()->isMinimized()) return;
    UpdateMapping();
    update();
}

void ClockFace::PlaceReadout() {
    if (!mapping_.IsValid()) return;
    const PixelRect r = mapping_.ToPixel(ReadoutLabelRect(mapping_));
    const int left = RoundHalfEvenInt(r.x);
    const int top = RoundHalfEvenInt(r.y);
    const int right = RoundHalfEvenInt(r.x + r.width);
    const int bottom = RoundHalfEvenInt(r.y + r.height);
    // A fixed size keeps a new text from asking the window to lay itself out again.
    label1_->setFixedSize(std::max(1, right - left), std::max(1, bottom - top));
    label1_->move(left, top);
}

void ClockFace::DrawClockScale() {
    if (!isVisible()) return;
    PlaceReadout();
    SetDialLabels();
    RenderDial();
    update();
}

void ClockFace::SetDialLabels() {
    if (!isVisible()) return;
    const double size = DialFontSize(mapping_, logicalDpiY());
    const DialLabelFonts fonts = DialLabelFontSizes(size, clockMode_);
    const auto texts = DialLabelTexts(clockMode_);
    bool changed = fonts.numeralPoints != numeralPoints_;
    for (int i = 0; i < 12; ++i) {
        const QString text = ToQString(texts[i]);
        changed = changed || text != numerals_[i];
        numerals_[i] = text;
    }
    numeralPoints_ = fonts.numeralPoints;
    if (fonts.readoutPoints != readoutPoints_) {
        readoutPoints_ = fonts.readoutPoints;
        label1_->setFont(FaceFont(readoutPoints_));
    }
    if (changed) {
        dialStale_ = true;
        update();
    }
}

bool ClockFace::DialCacheFits() const {
    const qreal dpr = devicePixelRatioF();
    return !dial_.isNull() && dial_.devicePixelRatio() == dpr &&
           dial_.size() == (QSizeF(size()) * dpr).toSize();
}

void ClockFace::RenderDial() {
    const qreal dpr = devicePixelRatioF();
    dial_ = QPixmap((QSizeF(size()) * dpr).toSize());
    dial_.setDevicePixelRatio(dpr);
    dialStale_ = false;
    slowHandsStale_ = true;
    ++dialRenderCount_;
    const bool seeThrough = keyTransparent_ && background_ == kTransparencyKey;
    dial_.fill(seeThrough ? QColor(Qt::transparent) : background_);
    if (!mapping_.IsValid() || dial_.isNull()) return;

    QPainter painter(&dial_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double k = mapping_.PixelsPerUnit();
    const double circleRadius = kMarkCircleRadius * k;
    QPen outline(foreground_, 1.0);
    for (int i = 0; i < 60; ++i) {
        const DialPoint p = mapping_.ToPixel(DialMarkPosition(i));
        if (i % 5 != 0) {
            // A single screen pixel, the one that holds the point.
            painter.fillRect(QRectF(std::floor(p.x), std::floor(p.y), 1.0, 1.0), foreground_);
        } else {
            painter.setPen(outline);
            painter.setBrush(foreground_);
            painter.drawEllipse(QPointF(p.x, p.y), circleRadius, circleRadius);
        }
    }
    painter.setFont(FaceFont(numeralPoints_));
    painter.setPen(foreground_);
    for (int i = 0; i < 12; ++i) {
        const PixelRect r = mapping_.ToPixel(NumeralLabelRect(i));
        DrawCentredText(painter, QRectF(r.x, r.y, r.width, r.height), numerals_[i]);
    }
}

std::array<QPointF, 3> ClockFace::HandPixelEnds(const std::array<DialPoint, 3>& ends) const {
    const DialPoint centre = mapping_.ToPixel(DialPoint{0.0, 0.0});
    const QPointF from(centre.x, centre.y);
    std::array<QPointF, 3> pixels;
    for (int j = 0; j < 3; ++j) {
        const DialPoint p = mapping_.ToPixel(ends[j]);
        pixels[j] = QPointF(p.x, p.y);
        if (j == 2) continue;
        const QPointF along = pixels[j] - from;
        // The hand's own length, not the distance to its end: that carries the rounding noise
        // of the end point, and a step must give the same pixels whatever the noise.
        const double length = kHandLengths[j] * mapping_.PixelsPerUnit();
        if (!(length > 0.0) || along.isNull()) continue;
        const double step = kSlowHandStepPixels / length;
        const double angle = std::round(std::atan2(along.y(), along.x()) / step) * step;
        pixels[j] = from + QPointF(std::cos(angle), std::sin(angle)) * length;
    }
    return pixels;
}

QRect ClockFace::HandBox(const QPointF& end, int j) const {
    const DialPoint centre = mapping_.ToPixel(DialPoint{0.0, 0.0});
    return HandBox(QPointF(centre.x, centre.y), end, j);
}

QRect ClockFace::HandBox(const QPointF& from, const QPointF& to, int j) const {
    const double margin = handWidths_[j] / 2.0 + 1.5;
    return QRectF(from, to).normalized().adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

void ClockFace::DrawHands(std::int32_t v) {
    const std::array<DialPoint, 3> ends = HandEndPoints(v, clockMode_);
    // What the tick repaints: the moved hands' boxes, where they were and are.
    QRegion region;
    // Of that, what changes on screen: the slow hands' boxes, the second hand's own pixels.
    QRegion changed;
    if (mapping_.IsValid()) {
        const std::array<QPointF, 3> was = HandPixelEnds(handEnds_);
        const std::array<QPointF, 3> now = HandPixelEnds(ends);
        for (int j = 0; j < 3; ++j) {
            // The second hand is painted whole whenever anything moved, for the same reason.
            if (was[j] == now[j] && (j < 2 || region.isEmpty())) continue;
            const QRegion boxes = QRegion(HandBox(was[j], j)) + HandBox(now[j], j);
            region += boxes;
            if (j < 2) changed += boxes;
            else if (was[j] != now[j]) changed += HandStrips(was[j], j) + HandStrips(now[j], j);
        }
    }
    handEnds_ = ends;
    // One rectangle around the union: the raster engine clips antialiased lines to a plain
    // rectangle on its fast path, while a banded region costs more than the pixels it saves.
    lastHandsRegion_ = region.isEmpty() ? QRegion() : QRegion(region.boundingRect());
    region = lastHandsRegion_;
    // Painted at once rather than through a posted update: the tick's only work left for the
    // event loop would be that one event, and waking the loop for it costs more than the paint.
    if (!region.isEmpty() && !PaintHandsDirect(region.boundingRect(), changed)) repaint(region);
}

QRegion ClockFace::HandStrips(const QPointF& end, int j) const {
    // Boxes along the hand a few pixels long each: a slanting hand's own box is mostly dial
    // that did not change.
    constexpr double kStripPixels = 16.0;
    const DialPoint centre = mapping_.ToPixel(DialPoint{0.0, 0.0});
    const QPointF from(centre.x, centre.y);
    const QPointF along = end - from;
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::hypot(along.x(), along.y()) / kStripPixels)));
    QRegion strips;
    for (int i = 0; i < pieces; ++i)
        strips += HandBox(from + along * (double(i) / pieces), from + along * (double(i + 1) / pieces), j);
    return strips;
}

bool ClockFace::CoveredBySiblings(const QRect& area) const {
    // Only the face's own readout and the window's other children can lie over it.
    const QWidget* const levels[] = {this, window()};
    for (const QWidget* from : levels) {
        for (const QObject* object : from->children()) {
            const auto* child = qobject_cast<const QWidget*>(object);
            if (!child || child == this || child == label1_ || child->isWindow() || !child->isVisible()) continue;
            if (child->geometry().intersects(from == this ? area : area.translated(mapTo(window(), QPoint())))) return true;
        }
    }
    return false;
}

bool ClockFace::PaintHandsDirect(const QRect& wanted, const QRegion& changed) {
    QWidget* top = window();
    QWindow* handle = top->windowHandle();
    QBackingStore* store = top->backingStore();
    if (!isVisible() || !handle || !handle->isExposed() || !store || top->isMinimized()) return false;
    if (dialStale_ || !DialCacheFits() || devicePixelRatioF() != 1.0 || !mapping_.IsValid()) return false;
    const QRect area = wanted & rect();
    if (area.isEmpty()) return true;
    if (CoveredBySiblings(area)) return false;
    // A boxed readout hides the hands beneath it, so its box is left as Qt drew it; a plain one
    // shows them through its text, and that is Qt's to compose.
    QRegion send = changed & area;
    const QRect readout = label1_->geometry();
    if (label1_->isVisible() && readout.intersects(area)) {
        const bool opaque = label1_->autoFillBackground() &&
                            label1_->palette().color(label1_->backgroundRole()).alpha() == 255;
        if (!opaque) return false;
        send -= readout;
    }
    if (send.isEmpty()) return true;

    const QPoint offset = mapTo(top, QPoint());
    const QRegion inWindow = send.translated(offset);
    // The backing store notes what is painted until Qt next sends it; told the whole face, an
    // opaque window's note stays one rectangle instead of growing by every second's. A
    // translucent one clears what it is told, so it is told exactly.
    const bool translucent = top->testAttribute(Qt::WA_TranslucentBackground);
    store->beginPaint(translucent ? inWindow : QRegion(rect().translated(offset)));
    QPaintDevice* device = store->paintDevice();
    auto* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const bool fits = image && image->devicePixelRatio() == 1.0 && image->depth() == 32 &&
                      image->rect().contains(inWindow.boundingRect());
    if (fits) {
        // The same painting a repaint of area would do (the hands clipped to all of it), in the
        // backing store's own format, into a picture kept from tick to tick (it grows to the
        // largest area and stays); the dial is copied only where pixels are sent.
        if (direct_.width() < area.width() || direct_.height() < area.height() || direct_.format() != image->format())
            direct_ = QImage(area.size().expandedTo(direct_.size()), image->format());
        {
            QPainter painter(&direct_);
            painter.translate(-area.topLeft());
            painter.setClipRect(area);
            PaintFace(painter, send);
        }
        for (const QRect& r : send) {
            const std::size_t bytes = std::size_t(r.width()) * 4;
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(image->scanLine(y + offset.y()) + std::size_t(r.left() + offset.x()) * 4,
                            direct_.constScanLine(y - area.top()) + std::size_t(r.left() - area.left()) * 4, bytes);
        }
    }
    store->endPaint();
    if (!fits) return false;
    if (!blit_.Put(handle, *image, inWindow)) store->flush(inWindow);
    ++directPaintCount_;
    return true;
}

void ClockFace::ShowReadouts(std::int32_t v) {
    const SexagesimalFormatter* formatter = nullptr;
    if (ephemeris_) formatter = &ephemeris_->Formatter();
    // The time text is wanted by the tip and the time readout; the date line needs none.
    std::string timeText;
    if (showInTaskTray_ || digitalMode_ != 1) timeText = FormatScaleTime(v, clockMode_, formatter);
    if (showInTaskTray_) {
        const QString tip = ToQString(FormatTipText(timeText, clockMode_));
        if (tip != tipText_) {
            tipText_ = tip;
            emit TipTextChanged(tipText_);
        }
    }
    std::string text;
    if (digitalMode_ == 1) {
        static const SystemClock systemClock;
        const LocalDateTime now = (clock_ ? clock_ : &systemClock)->Now();
        const CivilDate civil = CivilFromOleDay(now.Day);
        ReadoutDate date;
        date.month = civil.Month;
        date.day = civil.Day;
        // The weekday's name from the locale once a day rather than every second.
        if (now.Day != weekdayDay_) {
            // Qt numbers the weekdays 1 Monday .. 7 Sunday.
            const int qtWeekday = now.Weekday() == 0 ? 7 : now.Weekday();
            weekdayName_ = locale().dayName(qtWeekday, QLocale::ShortFormat).toStdString();
            weekdayDay_ = now.Day;
        }
        date.weekday = weekdayName_;
        text = ReadoutLabelText(v, clockMode_, digitalMode_, date, ephemeris_);
    } else {
        text = std::move(timeText);
    }
    // Most seconds leave the date line as it was.
    if (text == readoutSource_) return;
    readoutSource_ = text;
    label1_->setText(ToQString(text));
}

void ClockFace::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) weekdayDay_ = kNoDay;
    QWidget::changeEvent(event);
}

QString ClockFace::NumeralText(int i) const {
    return i >= 0 && i < 12 ? numerals_[i] : QString();
}

QString ClockFace::ReadoutText() const { return label1_->text(); }

QLabel* ClockFace::Label1() const { return label1_; }

void ClockFace::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintFace(painter, event->region());
}

void ClockFace::DrawHand(QPainter& painter, const QPointF& end, int j) {
    const DialPoint centre = mapping_.ToPixel(DialPoint{0.0, 0.0});
    const QPointF from(centre.x, centre.y);
    const int width = handWidths_[j];
    // Round ends drawn as dots on flat-capped lines: the raster engine strokes flat caps on a
    // fast path and round caps through a general path about four times slower (and filling
    // the stroke's four corners as a polygon slower still).
    painter.setPen(QPen(foreground_, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, end);
    if (width >= 2) {
        DrawDot(painter, end, width);
        if (j == 0) DrawDot(painter, from, width);  // the widest hand covers the centre
    }
}

const QImage& ClockFace::DotImage(int width, int phaseX, int phaseY) {
    const int key = (width * 4 + phaseX) * 4 + phaseY;
    const auto found = dots_.find(key);
    if (found != dots_.end()) return found->second;
    const double r = width / 2.0;
    const int pad = static_cast<int>(std::ceil(r)) + 1;
    QImage dot(2 * pad + 1, 2 * pad + 1, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(foreground_);
    painter.drawEllipse(QPointF(pad + phaseX / kDotSteps, pad + phaseY / kDotSteps), r, r);
    painter.end();
    return dots_.emplace(key, std::move(dot)).first->second;
}

void ClockFace::DrawDot(QPainter& painter, const QPointF& at, int width) {
    if (painter.deviceTransform().isScaling() || painter.deviceTransform().isRotating()) {
        // A scaled screen: the ellipse itself.
        const double r = width / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(foreground_);
        painter.drawEllipse(at, r, r);
        return;
    }
    // On the quarter-pixel grid: an eighth of a pixel is lost in the dot's own antialiasing.
    const double x = ToDotGrid(at.x());
    const double y = ToDotGrid(at.y());
    const double left = std::floor(x);
    const double top = std::floor(y);
    const QImage& dot = DotImage(width, static_cast<int>((x - left) * kDotSteps),
                                 static_cast<int>((y - top) * kDotSteps));
    const int pad = (dot.width() - 1) / 2;
    painter.drawImage(QPoint(static_cast<int>(left) - pad, static_cast<int>(top) - pad), dot);
}

void ClockFace::UpdateSlowHands(const std::array<QPointF, 3>& ends) {
    const bool whole = slowHandsStale_ || slowHands_.size() != dial_.size() ||
                       slowHands_.devicePixelRatio() != dial_.devicePixelRatio();
    const bool hourMoved = whole || slowHandEnds_[0] != ends[0];
    const bool minuteMoved = whole || slowHandEnds_[1] != ends[1];
    if (!hourMoved && !minuteMoved) return;
    const std::array<QPointF, 2> was = slowHandEnds_;
    slowHandsStale_ = false;
    slowHandEnds_ = {ends[0], ends[1]};
    if (whole) hourHand_ = dial_.copy();  // a copy of its own, in the dial's pixel format
    if (hourHand_.isNull() || !mapping_.IsValid()) {
        slowHands_ = hourHand_;
        return;
    }

    // Each hand is drawn where it lies wholly inside the area repainted: the raster engine
    // cuts an antialiased line at the clip's edge a shade differently from drawing it whole,
    // and the copies must match a face drawn afresh to the last level.
    auto repaint = [&](QPixmap& target, const QPixmap& under, const QRect& area, int j) {
        QPainter painter(&target);
        if (!whole) {
            const qreal dpr = under.devicePixelRatio();
            painter.setClipRect(area);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            const QRectF source(area.x() * dpr, area.y() * dpr, area.width() * dpr, area.height() * dpr);
            painter.drawPixmap(QRectF(area), under, source);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        painter.setRenderHint(QPainter::Antialiasing);
        DrawHand(painter, ends[j], j);
    };
    QRect area;
    if (hourMoved) {
        const QRect hourArea = rect() & (HandBox(was[0], 0) | HandBox(ends[0], 0));
        repaint(hourHand_, dial_, hourArea, 0);
        area = hourArea | HandBox(ends[1], 1);
    }
    if (whole) slowHands_ = hourHand_.copy();
    if (minuteMoved) area |= HandBox(was[1], 1) | HandBox(ends[1], 1);
    repaint(slowHands_, hourHand_, area & rect(), 1);
}

void ClockFace::PaintFace(QPainter& painter, const QRegion& region) {
    if (mapping_.WidthPixels() != width() || mapping_.HeightPixels() != height()) UpdateMapping();
    if (dialStale_ || !DialCacheFits()) RenderDial();
    const std::array<QPointF, 3> ends = HandPixelEnds(handEnds_);
    UpdateSlowHands(ends);

    const qreal dpr = slowHands_.devicePixelRatio();
    // The dial replaces what was there, so a see-through background also clears the old hands.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region) {
        const QRectF source(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr);
        painter.drawPixmap(QRectF(r), slowHands_, source);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!mapping_.IsValid()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    DrawHand(painter, ends[2], 2);
}

void ClockFace::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SetFormScale();
    PlaceReadout();
    dialStale_ = true;
}

void ClockFace::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Nothing was drawn while hidden; catch up with what changed meanwhile.
    PlaceReadout();
    SetDialLabels();
    dialStale_ = true;
}

void ClockFace::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit ContextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    event->ignore();
}

}  // namespace vireo
