// The picture's selection connections: the installed selection outlives the undo history
// and is freed with the picture, the outline passes the layer's refusals on, copies are
// cut to the selection, and floating layers are merged into the layer that carries them.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/tools/tool_base.h"
#include "engine/tools/tool_factory_test_hooks.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Writes mask bytes (one row of `width` per line) over a rectangle of a gray layer.
void WriteMask(ITzLayerImage& layer, const PTzRECT& rect, std::vector<uint8_t>& bytes)
{
    ASSERT_EQ(layer.SetSize(&rect, 1), 0);
    const int32_t width = rect.right - rect.left;
    _tagITzBITMAP bitmap = {width, rect.bottom - rect.top, width, 8, PTzCOLORMODE_GRAY, bytes.data()};
    PTzRECT local;
    layer.PRECTtoLRECT(&rect, &local);
    ASSERT_EQ(layer.SetRectData(&local, &bitmap), 0);
}

// A 100 x 80 mask: 255 over (10, 10, 40, 30) and 128 at (50, 50).
std::vector<uint8_t> SampleMask()
{
    std::vector<uint8_t> bytes(100 * 80, 0);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 40; ++x)
            bytes[y * 100 + x] = 255;
    bytes[50 * 100 + 50] = 128;
    return bytes;
}

// Installs the sample mask as the picture's selection, merged as the selection tools do.
ITzLayerImageSelect* InstallSample(ITzPicture& picture)
{
    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    EXPECT_NE(selection, nullptr);
    ITzLayerImage* floating = selection ? selection->CreateFloatingLayer() : nullptr;
    if (!floating)
        return nullptr;
    std::vector<uint8_t> bytes = SampleMask();
    WriteMask(*floating, {0, 0, 100, 80}, bytes);
    floating->SetMergeType(ITzMERGE_REPLACE);
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    Layer merged(selection->MergeFlatingLayer(&undo));
    EXPECT_NE(merged, nullptr);
    return selection;
}

_tagPTzCOLOR Opaque(uint8_t r, uint8_t g, uint8_t b)
{
    return {PTzCOLORMODE_ARGB, 255, {r, g, b}};
}

_tagPTzCOLOR PixelAt(ITzLayerImage& layer, int32_t x, int32_t y)
{
    _tagPTzCOLOR colour = {};
    const PTzPOINT point = {x, y};
    layer.GetPixelColor(&point, &colour);
    return colour;
}

// Tools of the test's own kinds for the length of one test.
struct ToolMakerScope {
    explicit ToolMakerScope(ITzTestToolMaker maker) { ITzTestSetToolMaker(maker); }
    ~ToolMakerScope() { ITzTestSetToolMaker(nullptr); }
};

// A record kind whose release notes whether the selection layer was still alive then.
constexpr uint32_t kOrderToolID = PTzFourCC("ordr");
bool g_selectionDestroyed = false;
bool g_releasedWhileSelectionAlive = false;

class OrderTool : public ITzToolBase {
public:
    OrderTool() { m_toolID = kOrderToolID; }
    int DoUndo(ITzPicture*, _tagUNDODATABASE*) override { return 0; }
    int DoRedo(ITzPicture*, _tagUNDODATABASE*) override { return 0; }
    int ReleaseUndoData(_tagUNDODATABASE* record) override
    {
        g_releasedWhileSelectionAlive = !g_selectionDestroyed;
        PTzPointFree(record);
        return 1;
    }
};

class DestroyWatch : public PTzListener {
protected:
    int Listen(uint32_t message, void*, PTzBroadcaster*) override
    {
        if (message == ITzLAYERMSG_DESTROY)
            g_selectionDestroyed = true;
        return 1;
    }
};

TEST(PictureSelection, DestroyedPictureFreesItsSelectionAfterTheHistory)
{
    const ToolMakerScope tools([](uint32_t id) -> ITzToolBase* { return id == kOrderToolID ? new OrderTool() : nullptr; });
    g_selectionDestroyed = g_releasedWhileSelectionAlive = false;
    auto* picture = static_cast<ITzPicture*>(ITzPicture::CreatePicture());
    ASSERT_NE(picture, nullptr);
    ITzLayerImageSelect* selection = InstallSample(*picture);
    ASSERT_NE(selection, nullptr);
    DestroyWatch watch;
    watch.AddToBroadcaster(selection);
    auto* record = static_cast<_tagUNDODATABASE*>(PTzPointNew(sizeof(_tagUNDODATABASE)));
    record->toolID = kOrderToolID;
    ASSERT_EQ(picture->SaveUndoData(record, 1), 1);
    // The selection holds blocks with data; LeakSanitizer sees them freed or not.
    EXPECT_EQ(ITzPicture::DestoryPicture(picture), 1);
    EXPECT_TRUE(g_selectionDestroyed);
    EXPECT_TRUE(g_releasedWhileSelectionAlive);
}

TEST(PictureSelection, OutlineRefusalsArePassedOn)
{
    ITzPicture picture;
    picture.Create(100, 80);
    std::vector<uint8_t> bytes(16 * 80, 0);
    _tagITzBITMAP bits = {100, 80, 16, 1, PTzCOLORMODE_GRAY, bytes.data()};
    _tagITzZOOMLEVEL zoom = {1, 1};
    const PTzRECT rect = {0, 0, 100, 80};
    EXPECT_EQ(picture.GetSelectionBoundary(nullptr, &bits, &zoom), ITzERR_INVALID);
    EXPECT_EQ(picture.GetSelectionBoundary(&rect, nullptr, &zoom), ITzERR_INVALID);
    EXPECT_EQ(picture.GetSelectionBoundary(&rect, &bits, nullptr), ITzERR_INVALID);
    EXPECT_EQ(picture.GetSelectionBoundary(&rect, &bits, &zoom), 0);  // no selection: nothing drawn

    ASSERT_NE(InstallSample(picture), nullptr);
    _tagITzBITMAP gray = bits;
    gray.bits = 8;
    EXPECT_EQ(picture.GetSelectionBoundary(&rect, &gray, &zoom), ITzERR_INVALID);
    EXPECT_EQ(bytes, std::vector<uint8_t>(16 * 80, 0));

    EXPECT_EQ(picture.GetSelectionBoundary(&rect, &bits, &zoom), 0);
    auto bit = [&](int x, int y) { return (bytes[size_t(y) * 16 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_EQ(bit(10, 10), 1);
    EXPECT_EQ(bit(39, 29), 1);
    EXPECT_EQ(bit(20, 20), 0);
    EXPECT_EQ(bit(50, 50), 1);
    EXPECT_EQ(bit(9, 10), 0);
}

TEST(PictureSelection, CopyLayerWithoutSelectionIsTheWholeLayer)
{
    ITzPicture picture;
    const _tagPTzCOLOR blue = Opaque(0, 0, 255);
    ASSERT_EQ(picture.Create_1(100, 80, &blue), 0);
    Layer copy(picture.CreateCopyLayer());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), picture.GetLayerbyIndex(0));
    PTzRECT bounds;
    copy->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, {0, 0, 100, 80}));
    EXPECT_EQ(PixelAt(*copy, 99, 79).components[2], 255);

    ITzPicture empty;
    EXPECT_EQ(empty.CreateCopyLayer(), nullptr);
}

TEST(PictureSelection, CopyLayerIsCutToTheSelectionAndMaskedByIt)
{
    ITzPicture picture;
    const _tagPTzCOLOR blue = Opaque(0, 0, 255);
    ASSERT_EQ(picture.Create_1(100, 80, &blue), 0);
    ASSERT_NE(InstallSample(picture), nullptr);
    Layer copy(picture.CreateCopyLayer());
    ASSERT_NE(copy, nullptr);
    PTzRECT bounds;
    copy->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, {10, 10, 51, 51}));
    EXPECT_EQ(PixelAt(*copy, 10, 10).alpha, 255);
    EXPECT_EQ(PixelAt(*copy, 10, 10).components[2], 255);
    EXPECT_EQ(PixelAt(*copy, 50, 50).alpha, 128);
    EXPECT_EQ(PixelAt(*copy, 45, 20).alpha, 0);
}

TEST(PictureSelection, CopyLayerTakesTheFloatingLayerAndNeedsTheSelectionToMeetIt)
{
    ITzPicture picture;
    const _tagPTzCOLOR blue = Opaque(0, 0, 255), red = Opaque(255, 0, 0);
    ASSERT_EQ(picture.Create_1(100, 80, &blue), 0);
    ASSERT_NE(InstallSample(picture), nullptr);
    auto* layer = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0));
    ITzLayerImage* floating = layer->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    const PTzRECT painted = {0, 0, 20, 20};
    ASSERT_EQ(floating->FillRect(&painted, &red), 0);
    Layer copy(picture.CreateCopyLayer());
    ASSERT_NE(copy, nullptr);
    PTzRECT bounds;
    copy->GetBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, {10, 10, 20, 20}));
    EXPECT_EQ(PixelAt(*copy, 15, 15).components[0], 255);

    const PTzRECT elsewhere = {60, 0, 80, 5};
    ASSERT_EQ(floating->SetSize(&elsewhere, 1), 0);
    ASSERT_EQ(floating->FillRect(&elsewhere, &red), 0);
    EXPECT_EQ(picture.CreateCopyLayer(), nullptr);
}

TEST(PictureSelection, ClearingTheSelectionsFloatingLayerMergesIntoTheSelection)
{
    ITzPicture picture;
    const _tagPTzCOLOR blue = Opaque(0, 0, 255);
    ASSERT_EQ(picture.Create_1(100, 80, &blue), 0);
    EXPECT_EQ(picture.ClearFloatingLayer(), 1);  // nothing floats

    auto* selection = dynamic_cast<ITzLayerImageSelect*>(picture.GetSelectionLayer(1));
    ASSERT_NE(selection, nullptr);
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    std::vector<uint8_t> bytes = SampleMask();
    WriteMask(*floating, {0, 0, 100, 80}, bytes);
    floating->SetMergeType(ITzMERGE_REPLACE);
    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);  // the merge runs under the caller's ticket
    EXPECT_EQ(selection->ClearFloatingLayer(), 1);
    picture.EditingStop(ticket);
    EXPECT_EQ(selection->GetFloatingLayer(), nullptr);
    PTzRECT bounds;
    selection->GetSelectionBounds(&bounds);
    EXPECT_TRUE(SameRect(bounds, {10, 10, 51, 51}));
    const PTzPOINT inside = {20, 20};
    EXPECT_EQ(selection->PointInSelection(&inside), 1);
    EXPECT_EQ(PixelAt(*static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0)), 20, 20).components[2], 255);
    _tagUNDODATABASE* record = nullptr;
    ASSERT_EQ(picture.GetLastUndoData(&record), 1);
    EXPECT_EQ(record->toolID, ITzTOOLID_AUTO_MERGE);
}

// Replays a record by merging a floating layer away, as a layer's deactivation would.
ITzLayerImage* g_floatingOwner = nullptr;
int g_mergeDuringReplay = -1;

class MergingTool : public OrderTool {
public:
    int DoUndo(ITzPicture* picture, _tagUNDODATABASE*) override
    {
        g_mergeDuringReplay = picture->AutoMergeFloatingLayer(g_floatingOwner);
        return 1;
    }
};

TEST(PictureSelection, NoAutoMergeWhileTheHistoryReplaysAStep)
{
    ITzPicture picture;
    std::optional<ToolMakerScope> tools;
    tools.emplace([](uint32_t id) -> ITzToolBase* { return id == kOrderToolID ? new MergingTool() : nullptr; });
    const _tagPTzCOLOR blue = Opaque(0, 0, 255), red = Opaque(255, 0, 0);
    ASSERT_EQ(picture.Create_1(100, 80, &blue), 0);
    auto* record = static_cast<_tagUNDODATABASE*>(PTzPointNew(sizeof(_tagUNDODATABASE)));
    record->toolID = kOrderToolID;
    ASSERT_EQ(picture.SaveUndoData(record, 1), 1);
    g_floatingOwner = static_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0));
    ITzLayerImage* floating = g_floatingOwner->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    const PTzRECT painted = {0, 0, 20, 20};
    ASSERT_EQ(floating->FillRect(&painted, &red), 0);

    EXPECT_EQ(picture.DoUndo(), 1);
    EXPECT_EQ(g_mergeDuringReplay, 0);
    EXPECT_EQ(g_floatingOwner->GetFloatingLayer(), floating);
    EXPECT_EQ(PixelAt(*g_floatingOwner, 5, 5).components[0], 0);

    tools.reset();  // the engine's own auto-merge tool from here on
    EXPECT_EQ(picture.AutoMergeFloatingLayer(g_floatingOwner), 1);
    EXPECT_EQ(g_floatingOwner->GetFloatingLayer(), nullptr);
    EXPECT_EQ(PixelAt(*g_floatingOwner, 5, 5).components[0], 255);
    EXPECT_EQ(picture.AutoMergeFloatingLayer(nullptr), 0);
}

}  // namespace
