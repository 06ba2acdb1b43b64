// Shared by the tests of the picture-wide tools (crop, resize, rotate): a whole picture's
// state to compare, a selection made the way the selection tools make it, and an ARGB
// layer whose resize and rotation steps are counted and can be made to fail.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "floating_test_support.h"

namespace picture_job_test {

using floating_test::Snapshot;

// The size, every layer (object, kind, link number, bounds and pixels, and those of its
// floating layer) and the selection. A layer of another kind shows the pixels of the
// image it is drawn through.
struct PictureShot {
    _tagPTzSIZE size = {0, 0};
    std::vector<const ITzLayerBase*> layers;
    std::vector<int> imageLayers;
    std::vector<uint16_t> links;
    std::vector<Snapshot> pixels;
    std::vector<Snapshot> floating;
    const ITzLayerImage* selection = nullptr;
    Snapshot selectionPixels;
};

inline PictureShot Shoot(ITzPicture& picture)
{
    PictureShot shot;
    picture.GetSize(&shot.size);
    for (uint16_t index = 0; index < picture.GetLayerCount(); ++index) {
        ITzLayerBase* layer = picture.GetLayerbyIndex(index);
        ITzLayerImage* image = layer->GetPreviewLayer();
        ITzLayerImage* floating = layer->IsImageLayer() ? image->GetFloatingLayer() : nullptr;
        shot.layers.push_back(layer);
        shot.imageLayers.push_back(layer->IsImageLayer());
        shot.links.push_back(layer->GetLinkNumber());
        shot.pixels.push_back(image ? floating_test::Take(image) : Snapshot{});
        shot.floating.push_back(floating ? floating_test::Take(floating) : Snapshot{});
    }
    if (ITzLayerImage* selection = picture.GetSelectionLayer(0)) {
        shot.selection = selection;
        shot.selectionPixels = floating_test::Take(selection);
    }
    return shot;
}

// The same pixels, bounds, links and size; `sameObjects` also asks for the same layer
// objects.
inline void ExpectSame(const PictureShot& a, const PictureShot& b, bool sameObjects)
{
    EXPECT_EQ(a.size.cx, b.size.cx);
    EXPECT_EQ(a.size.cy, b.size.cy);
    ASSERT_EQ(a.layers.size(), b.layers.size());
    for (size_t i = 0; i < a.layers.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(a.pixels[i] == b.pixels[i]);
        EXPECT_TRUE(a.floating[i] == b.floating[i]);
        EXPECT_EQ(a.imageLayers[i], b.imageLayers[i]);
        EXPECT_EQ(a.links[i], b.links[i]);
        if (sameObjects) {
            EXPECT_EQ(a.layers[i], b.layers[i]);
        }
    }
    EXPECT_EQ(a.selection != nullptr, b.selection != nullptr);
    EXPECT_TRUE(a.selectionPixels == b.selectionPixels);
    if (sameObjects) {
        EXPECT_EQ(a.selection, b.selection);
    }
}

// Selects the picture rectangle through the selection's floating layer, so that the
// selection's bounds follow.
inline ITzLayerImageSelect* Select(ITzPicture& picture, const PTzRECT& rect)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    if (!selection)
        return nullptr;
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    if (!floating)
        return nullptr;
    floating_test::FillGray(floating, rect, 255);
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    ITzLayerBase::DestroyLayer(selection->MergeFlatingLayer(&undo));
    return selection;
}

inline PTzRECT SelectionBounds(ITzPicture& picture)
{
    PTzRECT bounds = {-1, -1, -1, -1};
    if (auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(0)))
        selection->GetSelectionBounds(&bounds);
    return bounds;
}

// Counts the steps and ends of every layer job of this kind; the step numbered
// `failAt` (from 1, over all such layers) fails, and the job then ends without a layer.
class ScriptedLayer : public ITzLayerImageARGB {
public:
    static inline int steps = 0;
    static inline int ends = 0;
    static inline int failAt = 0;
    static void Reset(int failingStep = 0)
    {
        steps = 0;
        ends = 0;
        failAt = failingStep;
    }

    int ResizeLayer(void* job, uint32_t* progress) override
    {
        return ++steps == failAt ? 0 : ITzLayerImageARGB::ResizeLayer(job, progress);
    }
    ITzLayerBase* ResizeLayerEnd(void* job) override
    {
        ++ends;
        return ITzLayerImageARGB::ResizeLayerEnd(job);
    }
    int RotateSLayer(void* job, uint32_t* progress) override
    {
        return ++steps == failAt ? 0 : ITzLayerImageARGB::RotateSLayer(job, progress);
    }
    ITzLayerBase* RotateSLayerEnd(void* job) override
    {
        ++ends;
        return ITzLayerImageARGB::RotateSLayerEnd(job);
    }
};

// A picture of `count` patterned scripted layers over the bounds, which reach past the
// 256-pixel block borders.
inline void MakeScriptedPicture(ITzPicture& picture, int count, _tagPTzSIZE size,
                                PTzRECT bounds = {0, 0, 0, 0})
{
    picture.Create(uint32_t(size.cx), uint32_t(size.cy));
    if (PTzRectEmpty(&bounds))
        bounds = {0, 0, size.cx, size.cy};
    for (int i = 0; i < count; ++i) {
        auto* layer = new ScriptedLayer();
        layer->SetSize(&bounds, 1);
        floating_test::Pattern(layer, {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}, 31u + uint32_t(i));
        picture.InsertLayer(picture.GetLayerCount(), layer);
    }
}

inline bool HasUndoStep(ITzPicture& picture)
{
    _tagUNDODATABASE* record = nullptr;
    return picture.GetLastUndoData(&record) && record;
}

}  // namespace picture_job_test
