// Blur, sharpen and smudge strokes, which write the layer itself: undo stays exact when a
// stroke grows the layer past its left and top edges, a block whose backup is refused is
// not written, the stroke's planes come from ordinary memory (a 1,000-pixel smudge
// paints, a window that cannot be had starts nothing), and the layer's preview levels
// hear of every block a stroke changed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/memory_test_hooks.h"
#include "engine/pixels/undo_block_list.h"
#include "paint_tool_support.h"

using namespace brush_stroke;
using namespace floating_test;
using namespace paint_tools;

namespace {

struct Retoucher {
    const char* name;
    std::function<ITzToolBrushNFloatingBase*()> make;
};

const Retoucher kRetouchers[] = {
    {"blur", [] { return new ITzToolBlur(); }},
    {"sharpen", [] { return new ITzToolSharp(); }},
    {"smudge", [] { return new ITzToolSmudge(); }},
};

// A picture larger than its one patterned layer, which lies at (150, 100) - (650, 500).
void SmallLayerPicture(ITzPicture& picture)
{
    picture.Create(900, 700);
    auto* layer = new ITzLayerImageARGB();
    const PTzRECT bounds = {150, 100, 650, 500};
    layer->SetSize(&bounds, 1);
    Pattern(layer, {0, 0, 500, 400}, 11);
    picture.InsertLayer(0, layer);
}

TEST(Retouch, StrokesPastTheLayersLeftAndTopEdgesUndoExactly)
{
    for (const Retoucher& retoucher : kRetouchers)
        for (const uint32_t size : {40u, 300u}) {
            SCOPED_TRACE(std::string(retoucher.name) + " " + std::to_string(size));
            ITzPicture picture;
            SmallLayerPicture(picture);
            ITzLayerImage* layer = ImageLayer(picture, 0);
            const Snapshot before = Take(layer);
            ITzBrushCircle brush(size, 80, 0, 100);
            std::unique_ptr<ITzToolBrushNFloatingBase> tool(retoucher.make());
            tool->SetBrush(&brush);
            tool->SetStrength(220);
            Stroke(*tool, picture, {Sample(140, 90), Sample(165, 110), Sample(185, 130)});
            const Snapshot after = Take(layer);
            // The stroke grew the grid on the left and at the top.
            EXPECT_LT(after.bounds.left, 150);
            EXPECT_LT(after.bounds.top, 100);
            ExpectUndoRedoUndo(picture, layer, before, after);
        }
}

// The allocations the first backup of a block into a fresh list makes.
int64_t AllocationsOfOneBackup()
{
    for (int64_t n = 0; n < 64; ++n) {
        ITzLayerImageARGB layer;
        const PTzRECT bounds = {0, 0, 256, 256};
        layer.SetSize(&bounds, 1);
        Pattern(&layer, bounds, 3);
        ITzUndoTwoLevelBlockList list(layer.GetBlockType());
        PTzTestSetAllocationCountdown(n);
        const int kept = layer.BackupBlockForUndo(0, &bounds, &list);
        PTzTestSetAllocationCountdown(-1);
        if (kept)
            return n;
    }
    return -1;
}

// A smudge whose pushes may allocate only so often: each push backs its blocks up
// into the record's list (made beforehand) and writes them.
class RationedSmudge : public ITzToolSmudge {
public:
    explicit RationedSmudge(int64_t allowance) : m_allowance(allowance) {}
    int MergeCacheToImage(_tagITzTOOLBRUSH_DOPUSHCACHEINFO* job) override
    {
        GetUndoBlockList(FloatingRecord(m_undoData));
        PTzTestSetAllocationCountdown(m_allowance);
        const int written = ITzToolSmudge::MergeCacheToImage(job);
        PTzTestSetAllocationCountdown(-1);
        return written;
    }

private:
    int64_t m_allowance;
};

TEST(Retouch, ABlockWhoseBackupIsRefusedIsNotWrittenAndTheUndoStaysExact)
{
    const int64_t oneBackup = AllocationsOfOneBackup();
    ASSERT_GE(oneBackup, 0);
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 512, 256});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    const Snapshot before = Take(layer);
    ITzBrushCircle brush(30, 100, 0, 100);
    // One push over both blocks: the left one is backed up first, and the right one's
    // backup finds nothing left to allocate.
    RationedSmudge tool(oneBackup);
    tool.SetBrush(&brush);
    tool.SetStrength(255);
    Stroke(tool, picture, {Sample(236, 128), Sample(276, 128)});

    const Snapshot after = Take(layer);
    const auto blockChanged = [&](int32_t from) {
        for (int32_t y = 0; y < 256; ++y)
            for (int32_t x = from; x < from + 256; ++x)
                for (int c = 0; c < 4; ++c) {
                    const size_t i = (size_t(y) * 512 + size_t(x)) * 4 + size_t(c);
                    if (after.pixels[i] != before.pixels[i])
                        return true;
                }
        return false;
    };
    EXPECT_TRUE(blockChanged(0));
    EXPECT_FALSE(blockChanged(256));
    ExpectUndoRedoUndo(picture, layer, before, after);
}

TEST(Retouch, AThousandPixelSmudgePaints)
{
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 1200, 1100});
    ITzLayerImage* layer = ImageLayer(picture, 0);
    const Snapshot before = Take(layer);
    ITzBrushCircle brush(1000, 100, 0, 100);
    ITzToolSmudge tool;
    tool.SetBrush(&brush);
    tool.SetStrength(255);
    Stroke(tool, picture, {Sample(600, 550), Sample(603, 551)});
    const Snapshot after = Take(layer);
    EXPECT_FALSE(after == before);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(Take(layer) == before);
}

TEST(Retouch, AWindowThatCannotBeHadStartsNoStroke)
{
    for (const Retoucher& retoucher : kRetouchers) {
        SCOPED_TRACE(retoucher.name);
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 300, 300});
        const Snapshot before = Take(ImageLayer(picture, 0));
        ITzBrushCircle brush(20, 100, 0, 100);
        std::unique_ptr<ITzToolBrushNFloatingBase> tool(retoucher.make());
        tool->SetBrush(&brush);
        // The window's planes, 258 x 258 bytes each, are just above the ceiling.
        PTzTestSetAllocationCeiling(65536);
        _tagPTzMOUSEPOINT sample = Sample(100, 100);
        const int started = tool->OnMouseDown(&sample, &picture);
        PTzTestSetAllocationCeiling(0);
        EXPECT_EQ(started, 0);
        EXPECT_TRUE(picture.AbleEditing());
        EXPECT_EQ(picture.DoUndo(), 0);
        EXPECT_TRUE(Take(ImageLayer(picture, 0)) == before);
    }
}

TEST(Retouch, SmudgeDabsLieOnePixelApartWhateverTheBrushStep)
{
    struct Counting : ITzToolSmudge {
        int DoPoint(_tagPTzMOUSEPOINT* point, void* picture) override
        {
            const int done = ITzToolSmudge::DoPoint(point, picture);
            dabs += done != 0;
            return done;
        }
        int dabs = 0;
    };
    ITzPicture picture;
    MakePicture(picture, 1, {0, 0, 300, 300});
    ITzBrushCircle brush(40, 100, 0, 100);
    brush.SetStep(10);
    Counting tool;
    tool.SetBrush(&brush);
    Stroke(tool, picture, {Sample(50, 100), Sample(90, 100)});
    EXPECT_GE(tool.dabs, 40);
    EXPECT_LE(tool.dabs, 42);
}

// A layer's preview level read whole; colours only where the level has alpha, since a
// level rebuilt over pixels without weight keeps the colours it had.
std::vector<uint8_t> ReadLevel(ITzLayerImage& level)
{
    PTzRECT bounds;
    level.GetBounds(&bounds);
    const int32_t width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const _tagITzZOOMLEVEL one = {1, 1};
    EXPECT_EQ(level.GetBitmap(&bitmap, &bounds, &one, &one), 0);
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] == 0)
            pixels[i + 1] = pixels[i + 2] = pixels[i + 3] = 0;
    return pixels;
}

TEST(Retouch, PreviewLevelsAfterAStrokeEqualFreshlyBuiltOnes)
{
    for (const Retoucher& retoucher : kRetouchers) {
        SCOPED_TRACE(retoucher.name);
        ITzPicture picture;
        MakePicture(picture, 1, {0, 0, 700, 600});
        ASSERT_EQ(picture.DoPreparePreviewCache(), 1);
        ITzLayerImage* layer = ImageLayer(picture, 0);
        ASSERT_NE(layer->GetCacheLayer(1), nullptr);
        ITzBrushCircle brush(60, 50, 0, 100);
        std::unique_ptr<ITzToolBrushNFloatingBase> tool(retoucher.make());
        tool->SetBrush(&brush);
        tool->SetStrength(255);
        _tagITzZOOMLEVEL half = {1, 2};
        tool->SetDisplayZoomlevel(&half);
        Stroke(*tool, picture, {Sample(100, 100), Sample(400, 300), Sample(600, 120)});

        ITzPicture fresh;
        fresh.Create(700, 600);
        fresh.InsertLayer(0, layer->CopyLayer());
        ASSERT_EQ(fresh.DoPreparePreviewCache(), 1);
        for (uint8_t level = 1; level <= 4; ++level)
            EXPECT_EQ(ReadLevel(*layer->GetCacheLayer(level)), ReadLevel(*ImageLayer(fresh, 0)->GetCacheLayer(level)))
                << "level " << int(level);
    }
}

}  // namespace
