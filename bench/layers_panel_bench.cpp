// The layers panel on large pictures. A rebuild of the list of a 255-layer 2000 x 1500
// picture (each layer a few painted patches) on a picture message, with the repaint of
// the rows shown, thumbnails read at the thumbnail's zoom (counted: thumbnails read per
// rebuild, and reads from a layer's own pixels, which must stay 0); against a QListView
// over a QStandardItemModel of 255 text rows cleared, filled and repainted, the floor of
// any list of that many rows. A rename repaints one column (counted: the fraction of the
// list's pixels repainted). One step of an opacity drag on a four-layer 4000 x 3000
// picture shown at the largest zoom that fits a 1920 x 1080 view: the live opacity set
// through the panel's box, and the view and the list repainted; against the view's own
// repaint of the whole picture changed; both once per build of the row loops the
// processor runs. Offscreen, so the window system adds nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QStandardItemModel>
#include <memory>
#include <vector>

#include "app/shell/document.h"
#include "app/shell/picture_view.h"
#include "app/ui/layer_list_box.h"
#include "app/ui/layer_manager_dlg.h"
#include "bench/kernel_builds.h"
#include "bench/noise_picture.h"
#include "bench/offscreen_program.h"
#include "engine/pixels/layer_image.h"

namespace {

// 255 layers of a 2000 x 1500 picture, each with three 96 x 96 patches of its own colour.
ITzPicture* MakeDeepPicture()
{
    auto* picture = new ITzPicture();
    picture->Create_1(2000, 1500, nullptr);
    std::vector<uint8_t> patch(96 * 96 * 4);
    for (int i = 1; i < ITzPICTURE_MAX_LAYERS; ++i)
        picture->NewImageLayer(u"A layer with a long name of several words");
    for (int i = 0; i < ITzPICTURE_MAX_LAYERS; ++i) {
        auto* layer = static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(uint16_t(i)));
        for (size_t p = 0; p < patch.size(); p += 4) {
            patch[p] = 255;
            patch[p + 1] = uint8_t(i * 7);
            patch[p + 2] = uint8_t(i * 13);
            patch[p + 3] = uint8_t(255 - i);
        }
        const _tagITzBITMAP bitmap = {96, 96, 96 * 4, 32, PTzCOLORMODE_ARGB, patch.data()};
        for (int k = 0; k < 3; ++k) {
            const int32_t x = (i * 37 + k * 600) % 1900;
            const int32_t y = (i * 53 + k * 400) % 1400;
            const PTzRECT rect = {x, y, x + 96, y + 96};
            layer->SetRectData(&rect, &bitmap);
        }
    }
    picture->ClearModified();
    return picture;
}

struct DeepScene {
    DeepScene() : picture(MakeDeepPicture())
    {
        panel.resize(240, 480);
        panel.show();
        panel.SetPicture(picture);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    QApplication& application = OffscreenApplication("layers_panel_bench");  // before any widget
    ITzPicture* picture;
    CLayerManagerDlg panel;
};

DeepScene& Deep()
{
    static DeepScene* scene = new DeepScene();
    return *scene;
}

void RebuildOf255Layers(benchmark::State& state)
{
    DeepScene& scene = Deep();
    CLayerListBox* list = scene.panel.GetList();
    const CLayerListCounters before = list->GetCounters();
    _tagPTzSIZE sizes[2] = {{2000, 1500}, {2000, 1501}};
    int turn = 0;
    for (auto _ : state) {
        turn ^= 1;
        scene.picture->SetSize(&sizes[turn]);  // 1006: the rows are made anew
        list->viewport()->repaint();
    }
    const CLayerListCounters& after = list->GetCounters();
    const double iterations = double(state.iterations());
    state.counters["rebuilds"] = double(after.rebuilds - before.rebuilds) / iterations;
    state.counters["rows"] = list->GetCount();
    state.counters["thumbnails_per_rebuild"] = double(after.thumbnails - before.thumbnails) / iterations;
    state.counters["full_size_reads"] = double(after.fullSizeReads);
}

void PeerStandardItemList(benchmark::State& state)
{
    OffscreenApplication("layers_panel_bench");
    QStandardItemModel model;
    QListView view;
    view.setModel(&model);
    view.setUniformItemSizes(true);
    view.resize(240, 400);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        model.clear();
        for (int i = 0; i < ITzPICTURE_MAX_LAYERS; ++i)
            model.appendRow(new QStandardItem(QStringLiteral("A layer with a long name of several words")));
        view.viewport()->repaint();
    }
}

void RenameRepaintsOneColumn(benchmark::State& state)
{
    DeepScene& scene = Deep();
    CLayerListBox* list = scene.panel.GetList();
    ITzLayerBase* top = scene.picture->GetLayerbyIndex(ITzPICTURE_MAX_LAYERS - 1);
    const char16_t* names[2] = {u"Sky", u"Sea"};
    int turn = 0;
    uint64_t painted = 0;
    for (auto _ : state) {
        turn ^= 1;
        top->SetName(names[turn]);
        QApplication::processEvents();
        for (const QRect& rect : list->GetCounters().lastPainted)
            painted += uint64_t(rect.width()) * uint64_t(rect.height());
    }
    const double listPixels = double(list->viewport()->width()) * list->viewport()->height();
    state.counters["painted_fraction"] = double(painted) / double(state.iterations()) / listPixels;
}

// The four-layer picture in a 1920 x 1080 view at the largest zoom that fits, and the
// panel showing it.
struct DragScene {
    DragScene()
    {
        ITzPicture* picture = MakeNoisePicture(4000, 3000, 4);
        picture->DoPreparePreviewCache();
        document.SetPictureHandle(picture);
        view = ShowBareView(&document, 1920, 1080);
        while (view->GetZoomedSize().width() > 1920 || view->GetZoomedSize().height() > 1080)
            view->ZoomOutCentre();
        panel.show();
        panel.SetPicture(picture);
        picture->SetActiveLayerID(3);
        QApplication::processEvents();
    }
    QApplication& application = OffscreenApplication("layers_panel_bench");  // before any widget
    CTamsleyDoc document;
    std::unique_ptr<CTamsleyView> view;
    CLayerManagerDlg panel;
};

DragScene& Drag()
{
    static DragScene* scene = new DragScene();
    return *scene;
}

void OpacityDragStep(benchmark::State& state)
{
    DragScene& scene = Drag();
    CLayerOpacitySCBox* box = scene.panel.GetOpacityBox();
    int turn = 0;
    for (auto _ : state) {
        turn ^= 1;
        box->SetValue(40 + turn, true);
        scene.view->viewport()->repaint();
        scene.panel.GetList()->viewport()->repaint();
    }
    box->SetValue(box->GetValue(), false);
    _tagITzZOOMLEVEL zoom = {};
    scene.view->GetZoomLevel(&zoom);
    state.counters["zoom_denominator"] = double(zoom.denominator) / double(zoom.numerator);
}

void PeerWholeViewRepaint(benchmark::State& state)
{
    DragScene& scene = Drag();
    const PTzRECT whole = {0, 0, 4000, 3000};
    for (auto _ : state) {
        scene.view->GetPicture()->DataChanged(&whole, 0);
        scene.view->viewport()->repaint();
    }
}

}  // namespace

BENCHMARK(RebuildOf255Layers)->Unit(benchmark::kMillisecond);
BENCHMARK(PeerStandardItemList)->Unit(benchmark::kMillisecond);
BENCHMARK(RenameRepaintsOneColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK_EACH_BUILD(OpacityDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK_EACH_BUILD(PeerWholeViewRepaint)->Unit(benchmark::kMillisecond);
