// What one tick costs the face compared with drawing it all: the tick repaints the rectangles
// the hands left and entered plus the readout label; a full repaint draws every pixel. Both
// render into a QImage on the offscreen platform, as the window's backing store would.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "face/ClockFace.h"

namespace {

using vireo::ClockFace;

constexpr std::int32_t kStart = ((10 * 60 + 8) * 60 + 42) * 50;

struct Face {
    explicit Face(int side) : image(side, side, QImage::Format_ARGB32_Premultiplied) {
        face.resize(side, side);
        face.SetColors(QColor(128, 255, 255), Qt::black);
        face.SetDigitalMode(0);
        face.show();
        face.SetFormScale();
        face.DrawClockScale();
        face.DrawHands(kStart);
        face.ShowReadouts(kStart);
        face.render(&image);
    }
    ClockFace face;
    QImage image;
};

// Paints what the window system would ask for: the face within region and, when it is
// dirty, the readout label over it.
void Paint(Face& f, const QRegion& region) {
    QPainter painter(&f.image);
    painter.setClipRegion(region);
    f.face.PaintFace(painter, region);
    painter.end();
    QLabel* label = f.face.Label1();
    label->render(&f.image, label->pos());
}

void BM_TickRepaint(benchmark::State& state) {
    Face f(int(state.range(0)));
    std::int32_t v = kStart;
    double pixels = 0;
    for (auto _ : state) {
        v += 50;
        f.face.DrawHands(v);
        f.face.ShowReadouts(v);
        const QRegion dirty = f.face.LastHandsRegion();
        for (const QRect& r : dirty) pixels += double(r.width()) * r.height();
        Paint(f, dirty);
    }
    const QSize label = f.face.Label1()->size();
    state.counters["px/tick"] = pixels / double(state.iterations()) + label.width() * label.height();
    state.counters["dial renders"] = f.face.DialRenderCount();
}
BENCHMARK(BM_TickRepaint)->Arg(204)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void BM_FullRepaint(benchmark::State& state) {
    Face f(int(state.range(0)));
    std::int32_t v = kStart;
    for (auto _ : state) {
        v += 50;
        f.face.DrawHands(v);
        f.face.ShowReadouts(v);
        Paint(f, QRegion(f.face.rect()));
    }
    state.counters["px/tick"] = double(state.range(0)) * double(state.range(0));
}
BENCHMARK(BM_FullRepaint)->Arg(204)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The readout's share of a tick: a new text and the label painted again.
void BM_ReadoutOnly(benchmark::State& state) {
    Face f(int(state.range(0)));
    std::int32_t v = kStart;
    QLabel* label = f.face.Label1();
    for (auto _ : state) {
        v += 50;
        f.face.ShowReadouts(v);
        label->render(&f.image, label->pos());
    }
}
BENCHMARK(BM_ReadoutOnly)->Arg(204)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// Drawing the dial itself, which happens only on a resize, a change of scale or colours.
void BM_DrawClockScale(benchmark::State& state) {
    Face f(int(state.range(0)));
    for (auto _ : state) f.face.DrawClockScale();
    state.counters["dial renders"] = f.face.DialRenderCount();
}
BENCHMARK(BM_DrawClockScale)->Arg(204)->Arg(300)->Arg(600)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
