// A full repaint of the view's 1920 x 1080 viewport showing a four-layer 4000 x 3000
// picture from its prepared preview cache, at 1/4 (the picture centred in the surround),
// 1/1 and 4/1, each after the picture reported all its pixels changed, so that every
// visible tile is composed again; against a widget of the same size whose paint is one
// plain QPainter::drawImage of a 1920 x 1080 RGB888 image, the floor of any paint that
// ends in such a copy, in the same run; the composing repaints once per build of the
// row loops the processor runs, with the machine's paint helpers and with none. A repaint with nothing changed (the window uncovered)
// shows what the back buffer saves. Offscreen, so the window system adds nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <thread>

#include "app/shell/document.h"
#include "app/shell/paint_workers.h"
#include "app/shell/picture_view.h"
#include "bench/kernel_builds.h"
#include "bench/noise_picture.h"
#include "bench/offscreen_program.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The document and its view, shown with a viewport of exactly 1920 x 1080.
struct Scene {
    Scene()
    {
        OffscreenApplication("view_paint_bench");
        ITzPicture* picture = MakeNoisePicture(4000, 3000, 4);
        picture->DoPreparePreviewCache();
        document.SetPictureHandle(picture);
        view = ShowBareView(&document, kWidth, kHeight);
        QApplication::processEvents();
    }
    CTamsleyDoc document;
    std::unique_ptr<CTamsleyView> view;
};

Scene& TheScene()
{
    static Scene* scene = new Scene();
    return *scene;
}

void Repaint(benchmark::State& state, uint32_t numerator, uint32_t denominator, bool changed = true)
{
    Scene& scene = TheScene();
    const unsigned helpers = CPaintWorkers::HelpersFor(std::thread::hardware_concurrency());
    SetPaintHelpers(changed ? unsigned(state.range(0)) : helpers);
    scene.view->SetZoom({numerator, denominator});
    scene.view->viewport()->repaint();
    ITzPicture* picture = scene.view->GetPicture();
    const PTzRECT whole = {0, 0, 4000, 3000};
    const uint64_t tiles = scene.view->GetPaintCounters().tilesComposed;
    for (auto _ : state) {
        if (changed)
            picture->DataChanged(&whole, 0);
        scene.view->viewport()->repaint();
    }
    SetPaintHelpers(helpers);
    state.counters["tiles_per_paint"] =
        double(scene.view->GetPaintCounters().tilesComposed - tiles) / double(state.iterations());
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

void RepaintQuarter(benchmark::State& state)
{
    Repaint(state, 1, 4);
}

void RepaintOne(benchmark::State& state)
{
    Repaint(state, 1, 1);
}

void RepaintFour(benchmark::State& state)
{
    Repaint(state, 4, 1);
}

void RepaintUnchangedOne(benchmark::State& state)
{
    Repaint(state, 1, 1, false);
}

class ImageWidget : public QWidget {
public:
    ImageWidget() : image(kWidth, kHeight, QImage::Format_RGB888)
    {
        image.fill(QColor(40, 90, 160));
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(kWidth, kHeight);
    }
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, image);
    }
};

void FloorDrawImage(benchmark::State& state)
{
    OffscreenApplication("view_paint_bench");
    ImageWidget widget;
    widget.show();
    QApplication::processEvents();
    for (auto _ : state)
        widget.repaint();
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

// The machine's paint helpers, then none.
void WithHelpers(benchmark::internal::Benchmark* run)
{
    run->ArgName("paint_helpers")->Arg(CPaintWorkers::HelpersFor(std::thread::hardware_concurrency()))->Arg(0);
}

}  // namespace

BENCHMARK(FloorDrawImage)->Unit(benchmark::kMillisecond);
BENCHMARK_EACH_BUILD(RepaintQuarter)->Apply(WithHelpers)->Unit(benchmark::kMillisecond);
BENCHMARK_EACH_BUILD(RepaintOne)->Apply(WithHelpers)->Unit(benchmark::kMillisecond);
BENCHMARK_EACH_BUILD(RepaintFour)->Apply(WithHelpers)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintUnchangedOne)->Unit(benchmark::kMillisecond);
