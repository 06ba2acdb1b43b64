// What the view shows while the layers under the active one come from its cache and the
// stale rows are composed in bands by the paint workers: after every step of a stroke
// and of every change to a layer below or above, the window equals a full composition of
// the picture, for stacks of every merge type and opacity at three zooms, for strokes
// through a selection and erasing ones, with no paint helper and with several.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/paint_workers.h"
#include "app/shell/picture_tiles.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/brush_circle.h"
#include "engine/tools/tool_erase.h"
#include "engine/tools/tool_pen.h"
#include "tests/app/shell/shell_test_support.h"

using namespace shelltest;

namespace {

constexpr int32_t kWidth = 300;
constexpr int32_t kHeight = 200;
constexpr PTzRECT kWhole = {0, 0, kWidth, kHeight};

// A layer of the picture's size holding reproducible noise whose alpha varies.
ITzLayerImageARGB* NoiseLayer(uint32_t seed, uint8_t lowestAlpha)
{
    auto* layer = new ITzLayerImageARGB();
    const PTzRECT bounds = {0, 0, kWidth, kHeight};
    layer->SetSize(&bounds, 1);
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        pixels[i] = uint8_t(seed >> 16);
        if (i % 4 == 0)
            pixels[i] = uint8_t(lowestAlpha + pixels[i] % (256 - lowestAlpha));
    }
    const _tagITzBITMAP bitmap = {kWidth, kHeight, kWidth * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    layer->SetRectData(&bounds, &bitmap);
    return layer;
}

// A square of opaque green over part of an image layer, reported as a tool reports it.
void PaintPatch(ITzLayerBase* layer, PTzRECT rect)
{
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    std::vector<uint32_t> pixels(size_t(width) * height, 0x0080FFFFu);  // A 255, G 128 as bytes A R G B
    const _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB,
                                  reinterpret_cast<uint8_t*>(pixels.data())};
    static_cast<ITzLayerImage*>(layer)->SetRectData(&rect, &bitmap);
    layer->PreviewChanged(&rect);
}

struct LayerLook {
    ITzMERGETYPE merge;
    uint8_t opacity;
};

// Translucent layers around an opaque active one, one above taking alpha away.
constexpr LayerLook kMixedStack[5] = {{ITzMERGE_NORMAL, 255},
                                      {ITzMERGE_NORMAL, 160},
                                      {ITzMERGE_NORMAL, 255},
                                      {ITzMERGE_MULTIPLY_ALPHA, 200},
                                      {ITzMERGE_NORMAL, 90}};

// Five layers, the middle one active; the two below and the two above it look as asked.
void* MakeStack(const LayerLook (&looks)[5])
{
    void* handle = ITzPictCreate_1(kWidth, kHeight, nullptr);
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    for (uint16_t i = 1; i < 5; ++i)
        picture->InsertLayer(i, NoiseLayer(i * 7919u, i == 1 ? 200 : 0));
    for (uint16_t i = 0; i < 5; ++i) {
        ITzLayerBase* layer = picture->GetLayerbyIndex(i);
        layer->SetMergeType(looks[i].merge);
        layer->SetOpacity(looks[i].opacity);
    }
    picture->SetActiveLayerID(2);
    picture->DoPreparePreviewCache();
    picture->ClearModified();
    return handle;
}

// The window against a full composition of the visible part of the picture.
void ExpectShowsTheWholeComposition(const ShownView& shown, const std::string& when)
{
    const QImage window = shown.Grab();
    QImage full(window.size(), QImage::Format_RGB32);
    full.fill(Qt::black);
    const QPoint origin = shown.view->PictureOrigin();
    const QRect visible = QRect(QPoint(), window.size()) & QRect(origin, shown.view->GetZoomedSize());
    _tagITzZOOMLEVEL zoom;
    shown.view->GetZoomLevel(&zoom);
    {
        QPainter painter(&full);
        const PTzRECT area = {visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1};
        DrawPictureTiles(&painter, shown.view->GetPicture(), area, {origin.x(), origin.y()}, zoom,
                         TileBackground::Checkerboard);
    }
    int differing = 0;
    for (int y = visible.top(); y <= visible.bottom(); ++y)
        for (int x = visible.left(); x <= visible.right(); ++x)
            differing += window.pixel(x, y) != full.pixel(x, y);
    EXPECT_EQ(differing, 0) << when;
}

// A stroke of a brush tool (the pen unless given) across the view in steps, the window
// checked after each.
void StrokeAndCompare(const ShownView& shown, int32_t y, const std::string& when, ITzToolBrushBase* tool = nullptr)
{
    ITzPicture* picture = shown.view->GetPicture();
    ITzBrushCircle brush(41, 40, 0, 100);
    brush.SetStep(6);
    ITzToolPen pen;
    ITzToolBrushBase& stroke = tool ? *tool : pen;
    _tagPTzCOLOR colour = {PTzCOLORMODE_ARGB, 255, {200, 40, 90}};
    stroke.SetColor(&colour, nullptr);
    stroke.SetOpacity(200);
    stroke.SetBrush(&brush);
    stroke.SetPressFlag(ITzBRUSH_PRESS_SIZE);
    const auto sample = [&](int32_t x, uint8_t pressure) { return _tagPTzMOUSEPOINT{x * 16, y * 16, pressure, {}}; };
    _tagPTzMOUSEPOINT point = sample(20, 120);
    ASSERT_EQ(stroke.OnMouseDown(&point, picture), 1) << when;
    for (int32_t step = 1; step <= 8; ++step) {
        point = sample(20 + step * 30, uint8_t(120 + step * 15));
        stroke.OnMouseMove(&point, picture);
        // Until the step's dabs are painted and pushed to the display, as the program's
        // idle turns push them.
        for (int i = 0; i < 1000 && stroke.HasIdleWork(); ++i)
            stroke.OnIdle(picture);
        ExpectShowsTheWholeComposition(shown, when + ", stroke step " + std::to_string(step));
    }
    stroke.OnMouseUp(&point, picture);
    ExpectShowsTheWholeComposition(shown, when + ", stroke ended");
}

// Runs a test body with no paint helper (a machine of one processor) and with three,
// the machine's own count restored after.
void WithEachHelperCount(const std::function<void(unsigned)>& body)
{
    for (const unsigned helpers : {0u, 3u}) {
        SetPaintHelpers(helpers);
        body(helpers);
    }
    SetPaintHelpers(CPaintWorkers::HelpersFor(std::thread::hardware_concurrency()));
}

TEST(LayersBelowCache, EveryStepOfAStrokeShowsTheWholeCompositionForEveryMergeTypeAndOpacity)
{
    const ITzMERGETYPE merges[] = {ITzMERGE_COLOR_COPY, ITzMERGE_NORMAL,   ITzMERGE_REPLACE,
                                   ITzMERGE_INTERSECT,  ITzMERGE_INVERT,   ITzMERGE_SUBTRACT,
                                   ITzMERGE_ERASE,      ITzMERGE_MULTIPLY_ALPHA, ITzMERGE_SMUDGE};
    const uint8_t opacities[] = {255, 128, 0};
    const _tagITzZOOMLEVEL zooms[] = {{1, 1}, {1, 2}, {3, 1}};
    WithEachHelperCount([&](unsigned helpers) {
        int turn = 0;
        for (const ITzMERGETYPE merge : merges) {
            for (const uint8_t opacity : opacities) {
                // The merge type and opacity below, on the active layer and above, each zoom in turn.
                const LayerLook looks[5] = {{ITzMERGE_NORMAL, 255},
                                            {merge, opacity},
                                            {merges[turn % 9], opacities[(turn + 1) % 3]},
                                            {merge, uint8_t(255 - opacity / 2)},
                                            {ITzMERGE_NORMAL, opacity}};
                ShownView shown(MakeStack(looks), QSize(200, 150));
                shown.view->SetZoom(zooms[turn % 3]);
                const std::string when = std::to_string(helpers) + " helpers, merge " + std::to_string(merge) +
                                         ", opacity " + std::to_string(opacity) + ", zoom " +
                                         std::to_string(zooms[turn % 3].numerator) + "/" +
                                         std::to_string(zooms[turn % 3].denominator);
                ExpectShowsTheWholeComposition(shown, when);
                StrokeAndCompare(shown, 60, when);
                ++turn;
            }
        }
    });
}

TEST(LayersBelowCache, AChangeToALayerBelowOrAboveShowsInTheNextStroke)
{
    ShownView shown(MakeStack(kMixedStack), QSize(220, 160));
    ITzPicture* picture = shown.view->GetPicture();
    const auto layer = [picture](uint16_t index) { return picture->GetLayerbyIndex(index); };
    const auto info = [&](uint16_t index, uint8_t opacity, ITzMERGETYPE merge) {
        _tagITzLAYERINFO record;
        layer(index)->GetLayerInfo(&record);
        record.opacity = opacity;
        record.mergeType = uint32_t(merge);
        picture->DoSetLayerInfo(layer(index), &record);
    };
    const struct {
        const char* change;
        std::function<void()> make;
    } steps[] = {
        {"nothing", [] {}},
        {"pixels below", [&] { PaintPatch(layer(1), {40, 20, 160, 140}); }},
        {"pixels above", [&] { PaintPatch(layer(4), {100, 60, 220, 180}); }},
        {"visibility below", [&] { picture->DoSetLayerVisibility(layer(0), 0); }},
        {"opacity below", [&] { info(1, 40, ITzMERGE_NORMAL); }},
        {"merge type below", [&] { info(1, 40, ITzMERGE_ERASE); }},
        {"opacity above", [&] { info(4, 250, ITzMERGE_NORMAL); }},
        {"undo", [&] { picture->DoUndo(); }},
        {"undo again", [&] { picture->DoUndo(); }},
        {"redo", [&] { picture->DoRedo(); }},
        {"order", [&] { picture->DoMoveLayer(0, 1); }},
        {"active layer", [&] { picture->SetActiveLayerID(3); }},
        {"insertion below", [&] { picture->DoInsertLayer(1, NoiseLayer(77, 0)); }},
        {"removal below", [&] { picture->DoRemoveLayer(0, nullptr); }},
        {"undo of the removal", [&] { picture->DoUndo(); }},
    };
    int32_t y = 30;
    for (const auto& step : steps) {
        step.make();
        ExpectShowsTheWholeComposition(shown, step.change);
        StrokeAndCompare(shown, y, std::string("after ") + step.change);
        y = 30 + (y + 17) % 110;
    }
}

TEST(LayersBelowCache, StrokesThroughASelectionAndErasingStrokesComposeInBandsAsInOnePiece)
{
    WithEachHelperCount([](unsigned helpers) {
        const _tagITzZOOMLEVEL zooms[] = {{1, 1}, {1, 2}, {3, 1}};
        for (const _tagITzZOOMLEVEL zoom : zooms) {
            ShownView shown(MakeStack(kMixedStack), QSize(200, 150));
            shown.view->SetZoom(zoom);
            ITzPicture* picture = shown.view->GetPicture();
            const std::string when = std::to_string(helpers) + " helpers, zoom " + std::to_string(zoom.numerator) +
                                     "/" + std::to_string(zoom.denominator);
            ITzToolErase eraser;
            StrokeAndCompare(shown, 50, when + ", erasing", &eraser);
            ITzLayerImage* selection = picture->GetSelectionLayer(1);
            ASSERT_NE(selection, nullptr);
            const _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
            const _tagPTzCOLOR half = {PTzCOLORMODE_GRAY, 255, {100}};
            const PTzRECT left = {0, 0, 150, kHeight}, middle = {110, 40, 240, 160};
            selection->FillRect(&left, &full);
            selection->FillRect(&middle, &half);
            picture->DataChanged(&kWhole, 0);
            const uint64_t tiles = shown.view->GetPaintCounters().tilesComposed;
            const uint64_t inBands = shown.view->GetPaintCounters().tilesInBands;
            StrokeAndCompare(shown, 70, when + ", through a selection");
            StrokeAndCompare(shown, 90, when + ", erasing through a selection", &eraser);
            EXPECT_GT(shown.view->GetPaintCounters().tilesComposed, tiles) << when;
            EXPECT_EQ(shown.view->GetPaintCounters().tilesInBands - inBands,
                      shown.view->GetPaintCounters().tilesComposed - tiles)
                << when;
        }
    });
}

TEST(LayersBelowCache, TheSelectionShownInMaskEditingModeComposesInOnePiece)
{
    WithEachHelperCount([](unsigned helpers) {
        ShownView shown(MakeStack(kMixedStack), QSize(200, 150));
        ITzPicture* picture = shown.view->GetPicture();
        const _tagPTzCOLOR gray = {PTzCOLORMODE_GRAY, 255, {180}};
        const PTzRECT part = {30, 20, 170, 120};
        picture->GetSelectionLayer(1)->FillRect(&part, &gray);
        picture->SetMaskEditingMode(1);
        picture->DataChanged(&kWhole, 0);
        const uint64_t inBands = shown.view->GetPaintCounters().tilesInBands;
        StrokeAndCompare(shown, 60, std::to_string(helpers) + " helpers, mask editing");
        EXPECT_EQ(shown.view->GetPaintCounters().tilesInBands, inBands);
    });
}

}  // namespace
