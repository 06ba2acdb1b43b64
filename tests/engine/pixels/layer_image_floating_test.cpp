// The image layer's floating layer, merges and block undo: a merge through the selection
// followed by undo gives the layer back bit for bit for both kinds and every merge type,
// blocks the backup tests spare stay untouched, and a merge that cannot finish keeps the
// floating layer and leaves the layer as it was.
#include "engine/pixels/layer_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "base/broadcaster.h"
#include "base/error_codes.h"
#include "base/memory_test_hooks.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "engine/pixels/layer_image_select.h"
#include "engine/pixels/layer_owner.h"
#include "engine/pixels/undo_block_list.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;
using List = ITzUndoTwoLevelBlockList;

const PTzRECT kArea = {-256, -256, 768, 768};  // every test's layers lie inside

// The picture as layers see it: it holds the selection and merges floating layers away
// as undo steps of its own.
class Owner : public ITzLayerOwner, public PTzListener {
public:
    ITzLayerImage* selection = nullptr;
    bool refuse = false;
    int autoMerges = 0, changes = 0;
    std::vector<std::unique_ptr<List>> steps;
    std::vector<Layer> kept;

    uint16_t GetLayerCount() override { return 0; }
    ITzLayerBase* GetLayerbyIndex(uint16_t) override { return nullptr; }
    uint16_t GetActiveLayerID() override { return 0; }
    uint16_t GetAvailableLinkNum() override { return 1; }
    int GetCacheLevelZoom(uint32_t, _tagITzZOOMLEVEL*, _tagITzZOOMLEVEL*, _tagITzZOOMLEVEL*) override { return 0; }
    ITzLayerImage* GetSelectionLayer(int) override { return selection; }
    int DoSetLayerInfo(ITzLayerBase*, _tagITzLAYERINFO*) override { return 0; }
    int DoSetLayerVisibility(ITzLayerBase*, int) override { return 0; }
    int DoSetLayerLink(ITzLayerBase*, int) override { return 0; }
    int AutoMergeFloatingLayer(ITzLayerImage* layer) override
    {
        ++autoMerges;
        if (refuse)
            return 0;
        auto list = std::make_unique<List>(layer->GetBlockType());
        ITzLayerImage* floating = layer->MergeFloatingLayer(list.get());
        if (!floating)
            return 0;
        kept.emplace_back(floating);
        steps.push_back(std::move(list));
        return 1;
    }

protected:
    int Listen(uint32_t message, void*, PTzBroadcaster*) override
    {
        changes += message == ITzLAYERMSG_DATA;
        return 1;
    }
};

// Every channel of the layer over kArea, and the bounds.
struct Snapshot {
    PTzRECT bounds;
    std::vector<uint8_t> bytes;
    bool operator==(const Snapshot& other) const
    {
        return PTzRectEqual(&bounds, &other.bounds) && bytes == other.bytes;
    }
};

Snapshot Take(ITzLayerImage& layer, const PTzRECT& area = kArea)
{
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    const uint32_t channels = layer.GetChannelCount();
    Snapshot shot;
    layer.GetBounds(&shot.bounds);
    shot.bytes.assign(size_t(channels) * width * height, 0);
    _tagITzCHANNELBITMAP bitmap = {width, height, width, int32_t(layer.GetColorMode()), {}};
    for (uint32_t c = 0; c < channels; ++c)
        bitmap.planes[c] = shot.bytes.data() + size_t(c) * width * height;
    PTzRECT local;
    layer.PRECTtoLRECT(&area, &local);
    EXPECT_EQ(layer.GetRectChannelData(&bitmap, &local), 1);
    return shot;
}

// Sizes the layer to the bounds and fills it with random bytes, mostly 0 and 255; then
// block i becomes uniform at uniform[i] (its alpha or gray value), except where that is 1.
void Fill(ITzLayerImage& layer, const PTzRECT& bounds, std::mt19937& random, const std::vector<uint8_t>& uniform = {})
{
    ASSERT_EQ(layer.SetSize(&bounds, 1), 0);
    const bool gray = layer.GetChannelCount() == 1;
    const int32_t width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    std::vector<uint8_t> bytes(size_t(width) * height * 4);
    for (uint8_t& byte : bytes) {
        const uint32_t r = random();
        byte = r % 4 == 0 ? 0 : r % 4 == 1 ? 255 : uint8_t(r >> 8);
    }
    _tagITzCHANNELBITMAP bitmap = {width, height, width, int32_t(layer.GetColorMode()), {}};
    for (uint32_t c = 0; c < layer.GetChannelCount(); ++c)
        bitmap.planes[c] = bytes.data() + size_t(c) * width * height;
    const PTzRECT local = {0, 0, width, height};
    ASSERT_EQ(layer.SetRectChannelData(&bitmap, &local), 1);
    for (size_t i = 0; i < uniform.size() && i < layer.GetBlockCount(); ++i) {
        const uint8_t v = uniform[i];
        const _tagPTzCOLOR colour = gray ? _tagPTzCOLOR{PTzCOLORMODE_GRAY, 255, {v}}
                                         : _tagPTzCOLOR{PTzCOLORMODE_ARGB, v, {40, 50, 60}};
        if (v != 1)
            layer.SetBlockColor(uint32_t(i), &colour);
    }
}

Layer MakeLayer(bool gray, const PTzRECT& bounds, std::mt19937& random, const std::vector<uint8_t>& uniform = {})
{
    Layer layer(gray ? static_cast<ITzLayerImage*>(new ITzLayerImageGray()) : new ITzLayerImageARGB());
    Fill(*layer, bounds, random, uniform);
    return layer;
}

// A selection over most of the layers: block 0 all 0, block 2 all 255, the rest random.
Layer MakeSelection(std::mt19937& random)
{
    auto* selection = new ITzLayerImageSelect();
    Layer layer(selection);
    const PTzRECT bounds = {0, 0, 600, 500};
    EXPECT_EQ(selection->SetSize(&bounds, 1), 0);
    std::vector<uint8_t> bytes(600 * 500);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random() % 3 * 127);
    _tagITzCHANNELBITMAP bitmap = {600, 500, 600, PTzCOLORMODE_GRAY, {bytes.data()}};
    EXPECT_EQ(selection->SetRectChannelData(&bitmap, &bounds), 1);
    const _tagPTzCOLOR none = {PTzCOLORMODE_GRAY, 255, {0}}, all = {PTzCOLORMODE_GRAY, 255, {255}};
    selection->SetBlockColor(0, &none);
    selection->SetBlockColor(2, &all);
    return layer;
}

std::set<uint32_t> ListedBlocks(ITzUndoBlockListBase& list)
{
    std::set<uint32_t> blocks;
    for (uint32_t i = 0; i < list.GetCount(); ++i)
        blocks.insert(list.GetBlockIndexOfItem(i));
    return blocks;
}

struct Case {
    bool gray;           // the layer's kind
    bool eraseMask;      // an ARGB layer with a gray floating erase mask
    bool aligned;        // the floating grid's borders where the layer's are
    bool masked;         // through the selection
    int32_t mergeType;
};

std::string Describe(const Case& c)
{
    return std::string(c.gray ? "gray" : c.eraseMask ? "argb+mask" : "argb") + (c.aligned ? " aligned" : " shifted") +
           (c.masked ? " masked" : "") + " type " + std::to_string(c.mergeType);
}

// Gives the layer a floating layer of the case's grid, kind and merge over several of
// its blocks and past its bounds: the floating layer, or null when that failed.
ITzLayerImage* AttachFloating(ITzLayerImage& layer, const Case& c, std::mt19937& random)
{
    ITzLayerImage* floating = layer.CreateFloatingLayer_1(c.eraseMask ? 1 : 0);
    if (!floating)
        return nullptr;
    const PTzRECT floatingBounds = {150, 100, 560, 460};
    if (!c.aligned) {
        // A floating layer of its own grid, moved off the layer's block borders.
        Layer own = MakeLayer(c.gray || c.eraseMask, floatingBounds, random, {1, 0, 255});
        _tagPTzOFFSET shift = {37, -11};
        own->MoveCore(&shift);
        EXPECT_EQ(layer.RemoveFloatingLayer(), floating);
        ITzLayerBase::DestroyLayer(floating);
        floating = own.release();
        EXPECT_EQ(layer.SetFloatingLayer(floating), 1);
        EXPECT_EQ(layer.IsMatchBlockLayer(floating), 0);
    } else {
        Fill(*floating, floatingBounds, random, {1, 0, 255, 1});
        EXPECT_EQ(layer.IsMatchBlockLayer(floating), 1);
    }
    floating->SetMergeType(ITzMERGETYPE(c.mergeType));
    floating->SetOpacity(c.mergeType % 2 ? 255 : 180);
    return floating;
}

// A layer in a picture (whose selection the merge goes through when the case is masked)
// with blocks 0 uniform opaque, 1 random, 2 uniform 0 and 3 random, and its floating layer.
struct Scene {
    Owner owner;
    Layer selection, layer;
    ITzLayerImage* floating = nullptr;

    Scene(const Case& c, uint32_t seed)
    {
        std::mt19937 random(seed);
        selection = MakeSelection(random);
        if (c.masked)
            owner.selection = selection.get();
        layer = MakeLayer(c.gray, {10, 20, 400, 300}, random, {255, 1, 0});
        layer->SetPicture(&owner);
        floating = AttachFloating(*layer, c, random);
    }
    ~Scene() { layer->SetPicture(nullptr); }
};

// Runs a floating merge, then undo, redo and undo again, checking the layer after each.
void MergeAndUndo(const Case& c, uint32_t seed)
{
    SCOPED_TRACE(Describe(c));
    Scene scene(c, seed);
    const Layer& layer = scene.layer;
    ITzLayerImage* floating = scene.floating;
    ASSERT_NE(floating, nullptr);

    PTzRECT oldBounds;
    layer->GetBounds(&oldBounds);
    const Snapshot before = Take(*layer);
    std::vector<PTzRECT> visible;  // each block's visible part before the merge
    std::vector<Snapshot> blocks;
    for (uint32_t i = 0; i < layer->GetBlockCount(); ++i) {
        PTzRECT block, part = {};
        layer->GetBlockPictRect(i, &block);
        PTzRectIntersect(&block, &oldBounds, &part);
        visible.push_back(part);
        blocks.push_back(Take(*layer, PTzRectEmpty(&part) ? block : part));
    }

    List undo(layer->GetBlockType());
    Layer merged(layer->MergeFloatingLayer(&undo));
    ASSERT_EQ(merged.get(), floating);
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    const Snapshot after = Take(*layer);

    // Whatever no backup was kept for is exactly as it was.
    const std::set<uint32_t> kept = ListedBlocks(undo);
    for (uint32_t i = 0; i < visible.size(); ++i) {
        if (!kept.count(i) && !PTzRectEmpty(&visible[i])) {
            EXPECT_TRUE(Take(*layer, visible[i]).bytes == blocks[i].bytes) << "block " << i;
        }
    }

    List redo(layer->GetBlockType());
    PTzRECT bounds;
    ASSERT_EQ(layer->Undo(&oldBounds, &undo, &bounds, &redo), 1);
    EXPECT_TRUE(Take(*layer) == before);
    List undoAgain(layer->GetBlockType());
    PTzRECT mergedBounds;
    ASSERT_EQ(layer->Undo(&bounds, &redo, &mergedBounds, &undoAgain), 1);
    EXPECT_TRUE(Take(*layer) == after);
    List redoAgain(layer->GetBlockType());
    ASSERT_EQ(layer->Undo(&mergedBounds, &undoAgain, nullptr, &redoAgain), 1);
    EXPECT_TRUE(Take(*layer) == before);
}

TEST(LayerImageFloating, MergeThenUndoRedoUndoIsBitExactForEveryKindTypeAndGrid)
{
    uint32_t seed = 1;
    for (const bool gray : {false, true})
        for (const bool aligned : {true, false})
            for (const bool masked : {false, true})
                for (int32_t type = 2; type <= 10; ++type)
                    MergeAndUndo({gray, false, aligned, masked, type}, seed++);
    for (const bool masked : {false, true})
        MergeAndUndo({false, true, true, masked, ITzMERGE_ERASE}, seed++);
}

TEST(LayerImageFloating, AShiftedGridMergesTheSamePixelsAsAnAlignedOne)
{
    // The same floating pixels in the picture, once on the layer's block borders and once
    // on a grid of its own: the block path and the part path must agree.
    const PTzRECT layerBounds = {10, 20, 400, 300}, floatingBounds = {150, 100, 560, 460};
    for (const bool gray : {false, true})
        for (const int32_t type : {3, 5, 6, 7})
            for (const bool masked : {false, true}) {
                if (!gray && type != ITzMERGE_NORMAL)
                    continue;
                SCOPED_TRACE(std::string(gray ? "gray" : "argb") + " type " + std::to_string(type) +
                             (masked ? " masked" : ""));
                std::vector<Snapshot> results;
                for (const bool aligned : {true, false}) {
                    std::mt19937 random(uint32_t(type * 2 + masked));
                    Owner owner;
                    Layer selection = MakeSelection(random);
                    if (masked)
                        owner.selection = selection.get();
                    Layer layer = MakeLayer(gray, layerBounds, random);
                    layer->SetPicture(&owner);
                    _tagPTzOFFSET shift = {aligned ? 0 : 37, aligned ? 0 : -11};
                    const PTzRECT placed = {floatingBounds.left - shift.x, floatingBounds.top - shift.y,
                                            floatingBounds.right - shift.x, floatingBounds.bottom - shift.y};
                    Layer floating = MakeLayer(gray, placed, random);
                    if (!aligned)
                        floating->MoveCore(&shift);
                    floating->SetMergeType(ITzMERGETYPE(type));
                    floating->SetOpacity(200);
                    ASSERT_EQ(layer->SetFloatingLayer(floating.get()), 1);
                    ITzLayerImage* attached = floating.release();
                    EXPECT_EQ(layer->IsMatchBlockLayer(attached), aligned ? 1 : 0);
                    List undo(layer->GetBlockType());
                    Layer merged(layer->MergeFloatingLayer(&undo));
                    ASSERT_EQ(merged.get(), attached);
                    results.push_back(Take(*layer));
                    layer->SetPicture(nullptr);
                }
                EXPECT_TRUE(results[0] == results[1]);
            }
}

TEST(LayerImageFloating, BlocksTheBackupTestsSpareAreLeftUntouched)
{
    // Checked block by block against the state before the merge.
    std::mt19937 random(7);
    for (const bool gray : {false, true}) {
        Owner owner;
        Layer selection = MakeSelection(random);
        owner.selection = selection.get();
        Layer layer = MakeLayer(gray, {0, 0, 512, 512}, random, {255, 0, 1, 1});
        layer->SetPicture(&owner);
        ITzLayerImage* floating = layer->CreateFloatingLayer();
        ASSERT_NE(floating, nullptr);
        // Floating blocks: 0 the target's own opaque colour, 1 empty, 2 and 3 random.
        Fill(*floating, {0, 0, 512, 512}, random, {255, 0});
        std::vector<Snapshot> blocks;
        for (uint32_t i = 0; i < 4; ++i) {
            PTzRECT rect;
            layer->GetBlockPictRect(i, &rect);
            blocks.push_back(Take(*layer, rect));
        }
        List undo(layer->GetBlockType());
        Layer merged(layer->MergeFloatingLayer(&undo));
        ASSERT_NE(merged, nullptr);
        const std::set<uint32_t> kept = ListedBlocks(undo);
        EXPECT_LT(kept.size(), 4u);  // the uniform and empty blocks need none
        for (uint32_t i = 0; i < 4; ++i) {
            if (kept.count(i))
                continue;
            PTzRECT rect;
            layer->GetBlockPictRect(i, &rect);
            EXPECT_TRUE(Take(*layer, rect).bytes == blocks[i].bytes) << (gray ? "gray" : "argb") << " block " << i;
        }
        layer->SetPicture(nullptr);
    }
}

// A floating ARGB layer of one random block over a uniform layer, aligned.
struct PaintedLayer {
    Owner owner;
    Layer layer;
    ITzLayerImage* floating = nullptr;
    explicit PaintedLayer(std::mt19937& random)
    {
        layer = MakeLayer(false, {0, 0, 300, 200}, random, {255, 255});
        layer->SetPicture(&owner);
        floating = layer->CreateFloatingLayer();
        Fill(*floating, {20, 30, 280, 180}, random);
    }
    ~PaintedLayer() { layer->SetPicture(nullptr); }
};

TEST(LayerImageFloating, AMergeWithoutScratchPagesKeepsTheFloatingLayerAndTheLayer)
{
    std::mt19937 random(3);
    PaintedLayer painted(random);
    const Snapshot before = Take(*painted.layer);
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    std::vector<uint8_t*> lent;
    uint8_t* page = nullptr;
    while (pool->pageCount() - pool->pagesInUse() > 4 && BlockMemoryAlloc(pool, &page, ITzBLOCK_PAGE_BYTES))
        lent.push_back(page);
    List undo(ITzBLOCKTYPE_ARGB);
    EXPECT_EQ(painted.layer->MergeFloatingLayer(&undo), nullptr);
    for (uint8_t* p : lent)
        BlockMemoryFree(p, ITzBLOCK_PAGE_BYTES, pool);
    EXPECT_EQ(painted.layer->GetFloatingLayer(), painted.floating);
    EXPECT_EQ(undo.GetCount(), 0u);
    EXPECT_TRUE(Take(*painted.layer) == before);
    Layer merged(painted.layer->MergeFloatingLayer(&undo));
    EXPECT_EQ(merged.get(), painted.floating);
    EXPECT_FALSE(Take(*painted.layer) == before);
}

TEST(LayerImageFloating, AMergeThatRunsOutOfMemoryHalfwayIsRolledBack)
{
    // The layer's blocks are uniform, so their backups need no data; the merge must
    // expand them and finds no memory for it.
    std::mt19937 random(4);
    PaintedLayer painted(random);
    const Snapshot before = Take(*painted.layer);
    List undo(ITzBLOCKTYPE_ARGB);
    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);
    ITzLayerImage* merged = painted.layer->MergeFloatingLayer(&undo);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(merged, nullptr);
    EXPECT_EQ(painted.layer->GetFloatingLayer(), painted.floating);
    EXPECT_EQ(undo.GetCount(), 0u);
    EXPECT_TRUE(Take(*painted.layer) == before);
}

// Lets a merge over several blocks run out of memory after every possible number of
// allocations, so that it fails in the backups, the resize and after blocks were merged
// already: each failure must roll back to the layer, the undo list and the floating layer
// as they were; the first budget that suffices merges as an unhindered merge does.
void CheckMergeFailures(const Case& c, uint32_t seed)
{
    SCOPED_TRACE(Describe(c));
    Scene pristine(c, seed);
    ASSERT_NE(pristine.floating, nullptr);
    const auto copy = [](ITzLayerImage& layer) { return static_cast<ITzLayerImage*>(layer.CreateCopyLayer()); };
    const PTzRECT area = {0, 0, 600, 464};  // the layer and the floating layer, both grids
    Snapshot merged;
    int failures = 0;
    for (int64_t allowed = -1;; ++allowed) {  // the first round merges unhindered
        Layer layer(copy(*pristine.layer));
        ITzLayerImage* floating = copy(*pristine.floating);
        ASSERT_TRUE(layer && floating);
        layer->SetPicture(&pristine.owner);
        ASSERT_EQ(layer->SetFloatingLayer(floating), 1);
        const Snapshot before = Take(*layer, area), floatingBefore = Take(*floating, area);
        List undo(layer->GetBlockType());
        PTzTestSetAllocationCountdown(allowed);
        Layer result(layer->MergeFloatingLayer(&undo));
        PTzTestSetAllocationCountdown(-1);
        const bool done = allowed >= 0 && result;
        if (allowed < 0) {
            ASSERT_EQ(result.get(), floating);
            merged = Take(*layer, area);
        } else if (result) {
            EXPECT_TRUE(Take(*layer, area) == merged);
        } else {
            ++failures;
            EXPECT_TRUE(Take(*layer, area) == before) << "after " << allowed << " allocations";
            EXPECT_EQ(undo.GetCount(), 0u) << "after " << allowed << " allocations";
            EXPECT_EQ(layer->GetFloatingLayer(), floating) << "after " << allowed << " allocations";
            EXPECT_TRUE(Take(*floating, area) == floatingBefore) << "after " << allowed << " allocations";
        }
        layer->SetPicture(nullptr);
        if (done || testing::Test::HasFailure())
            break;
    }
    EXPECT_GT(failures, 8);
}

TEST(LayerImageFloating, AMergeThatRunsOutOfMemoryAtAnyAllocationIsRolledBack)
{
    uint32_t seed = 11;
    for (const bool gray : {false, true})
        for (const bool aligned : {true, false})
            for (const bool masked : {false, true})
                CheckMergeFailures({gray, false, aligned, masked, ITzMERGE_NORMAL}, seed++);
    CheckMergeFailures({false, true, true, true, ITzMERGE_ERASE}, seed++);
}

TEST(LayerImageFloating, ACropThatRunsOutOfMemoryAtAnyAllocationChangesNothing)
{
    std::mt19937 random(12);
    const Layer pristine = MakeLayer(false, {0, 0, 700, 500}, random);  // 3 x 2 blocks
    const Snapshot before = Take(*pristine);
    const PTzRECT inside = {300, 10, 500, 200};
    int failures = 0;
    for (int64_t allowed = 0;; ++allowed) {
        Layer layer(static_cast<ITzLayerImage*>(pristine->CreateCopyLayer()));
        ASSERT_NE(layer, nullptr);
        List undo(ITzBLOCKTYPE_ARGB);
        PTzTestSetAllocationCountdown(allowed);
        const int cropped = layer->Crop(&inside, &undo);
        PTzTestSetAllocationCountdown(-1);
        if (cropped)
            break;
        ++failures;
        ASSERT_TRUE(Take(*layer) == before) << "after " << allowed << " allocations";
        ASSERT_EQ(undo.GetCount(), 0u) << "after " << allowed << " allocations";
    }
    EXPECT_GT(failures, 6);
}

TEST(LayerImageFloating, AFailedBackupStopsTheEditBeforeTheBlockChanges)
{
    std::mt19937 random(5);
    Layer layer = MakeLayer(false, {0, 0, 600, 300}, random);
    const Snapshot before = Take(*layer);
    List undo(ITzBLOCKTYPE_ARGB);
    const PTzRECT crop = {100, 0, 600, 300};
    PTzTestSetAllocationCeiling(ITzBLOCK_PAGE_BYTES - 1);
    EXPECT_EQ(layer->Crop(&crop, &undo), 0);
    const _tagITzBLOCKPOSITION at = {0, 0};
    EXPECT_EQ(ITzLayerImage::CopyToCutLayer(layer.get(), &at, nullptr, nullptr, nullptr, &undo), 0);
    PTzTestSetAllocationCeiling(0);
    EXPECT_EQ(undo.GetCount(), 0u);
    EXPECT_TRUE(Take(*layer) == before);

    EXPECT_EQ(ITzLayerImage::CopyToCutLayer(layer.get(), &at, nullptr, nullptr, nullptr, &undo), 1);
    EXPECT_EQ(undo.GetCount(), 1u);
    List redo(ITzBLOCKTYPE_ARGB);
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    ASSERT_EQ(layer->Undo(&bounds, &undo, nullptr, &redo), 1);
    EXPECT_TRUE(Take(*layer) == before);
}

TEST(LayerImageFloating, CropBacksUpOnlyTheBlocksWhoseVisiblePartChanges)
{
    std::mt19937 random(6);
    Layer layer = MakeLayer(false, {0, 0, 700, 500}, random);  // 3 x 2 blocks
    const Snapshot before = Take(*layer);
    List undo(ITzBLOCKTYPE_ARGB);
    const PTzRECT inside = {300, 10, 500, 200};  // inside block 1
    ASSERT_EQ(layer->Crop(&inside, &undo), 1);
    EXPECT_EQ(undo.GetCount(), 6u);  // every block loses part of what it showed
    PTzRECT bounds;
    layer->GetBounds(&bounds);
    EXPECT_TRUE(PTzRectEqual(&bounds, &inside));

    List redo(ITzBLOCKTYPE_ARGB);
    PTzRECT old = {0, 0, 700, 500};
    ASSERT_EQ(layer->Undo(&old, &undo, nullptr, &redo), 1);
    EXPECT_TRUE(Take(*layer) == before);

    List again(ITzBLOCKTYPE_ARGB);
    const PTzRECT right = {0, 0, 650, 500};  // only the last column's blocks change
    ASSERT_EQ(layer->Crop(&right, &again), 1);
    EXPECT_EQ(ListedBlocks(again), (std::set<uint32_t>{2, 5}));
}

TEST(LayerImageFloating, UndoWithoutAListOnlyMovesTheLayerBack)
{
    std::mt19937 random(8);
    Layer layer = MakeLayer(false, {0, 0, 300, 300}, random);
    const Snapshot before = Take(*layer);
    _tagPTzOFFSET move = {40, -7};
    layer->MoveCore(&move);
    const PTzRECT old = {0, 0, 300, 300};
    PTzRECT bounds;
    ASSERT_EQ(layer->Undo(&old, nullptr, &bounds, nullptr), 1);
    EXPECT_EQ(bounds.left, 40);
    EXPECT_TRUE(Take(*layer) == before);
    EXPECT_EQ(layer->Undo(nullptr, nullptr, &bounds, nullptr), 0);
    List undo(ITzBLOCKTYPE_GRAY);  // of another block type
    List redo(ITzBLOCKTYPE_ARGB);
    EXPECT_EQ(layer->Undo(&old, &undo, &bounds, &redo), 0);
}

TEST(LayerImageFloating, NewBoundsFollowTheMergeType)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT dest = {0, 0, 100, 100}, floating = {50, 50, 200, 200}, apart = {300, 300, 400, 400};
    const auto bounds = [&](const PTzRECT& f, int32_t type) {
        PTzRECT out = {};
        layer->MergeGetNewBounds(&dest, &f, &out, type);
        return std::vector<int32_t>{out.left, out.top, out.right, out.bottom};
    };
    EXPECT_EQ(bounds(floating, 3), (std::vector<int32_t>{0, 0, 200, 200}));
    EXPECT_EQ(bounds(floating, 10), (std::vector<int32_t>{0, 0, 200, 200}));
    EXPECT_EQ(bounds(floating, 4), (std::vector<int32_t>{50, 50, 200, 200}));
    EXPECT_EQ(bounds(floating, 6), (std::vector<int32_t>{50, 50, 200, 200}));
    EXPECT_EQ(bounds(floating, 5), (std::vector<int32_t>{50, 50, 100, 100}));
    EXPECT_EQ(bounds(floating, 7), (std::vector<int32_t>{0, 0, 100, 100}));
    EXPECT_EQ(bounds(floating, 8), (std::vector<int32_t>{0, 0, 100, 100}));
    const std::vector<int32_t> none = bounds(apart, 5);
    EXPECT_TRUE(none[0] >= none[2] || none[1] >= none[3]);
    EXPECT_EQ(layer->MergeGetNewBounds(nullptr, &floating, nullptr, 3), ITzERR_INVALID);
}

TEST(LayerImageFloating, AnIntersectionWithADisjointFloatingLayerEmptiesTheLayerUndoably)
{
    std::mt19937 random(9);
    Owner owner;
    Layer layer = MakeLayer(false, {0, 0, 300, 300}, random);
    layer->SetPicture(&owner);
    const Snapshot before = Take(*layer);
    ITzLayerImage* floating = layer->CreateFloatingLayer();
    const PTzRECT apart = {400, 400, 500, 500};
    ASSERT_EQ(floating->SetSize(&apart, 1), 0);
    floating->SetMergeType(ITzMERGE_INTERSECT);
    List undo(ITzBLOCKTYPE_ARGB);
    Layer merged(layer->MergeFloatingLayer(&undo));
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(layer->GetBlockCount(), 0u);
    List redo(ITzBLOCKTYPE_ARGB);
    const PTzRECT old = {0, 0, 300, 300};
    ASSERT_EQ(layer->Undo(&old, &undo, nullptr, &redo), 1);
    EXPECT_TRUE(Take(*layer) == before);
    layer->SetPicture(nullptr);
}

TEST(LayerImageFloating, ANewFloatingLayerIsAlignedAndTheOldOneMergedAwayFirst)
{
    std::mt19937 random(10);
    Owner owner;
    Layer layer = MakeLayer(false, {-10, 5, 290, 105}, random);
    ITzLayerImage* first = layer->CreateFloatingLayer();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(layer->CreateFloatingLayer(), nullptr);  // no owner to merge the old one with undo
    EXPECT_EQ(layer->GetFloatingLayer(), first);

    layer->SetPicture(&owner);
    owner.refuse = true;
    EXPECT_EQ(layer->CreateFloatingLayer(), nullptr);
    EXPECT_EQ(owner.autoMerges, 1);
    EXPECT_EQ(layer->GetFloatingLayer(), first);
    owner.refuse = false;
    ITzLayerImage* second = layer->CreateFloatingLayer();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(owner.steps.size(), 1u);
    ASSERT_EQ(owner.kept.size(), 1u);
    EXPECT_EQ(owner.kept[0].get(), first);

    // Its blocks fall on the layer's borders wherever it grows.
    const PTzRECT paint = {100, -300, 700, 20};
    ASSERT_EQ(second->SetSize(&paint, 1), 0);
    EXPECT_EQ(layer->IsMatchBlockLayer(second), 1);
    PTzRECT grid;
    second->GetBlockBounds(&grid);
    EXPECT_EQ(grid.left % 256, 0);
    EXPECT_EQ(grid.top % 256, 0);
    _tagPTzOFFSET shift;
    ASSERT_EQ(ITzLayerImage::GetBlockOffsetForMatchLayer(second, layer.get(), &shift), 1);
    PTzRECT mine;
    layer->GetBlockBounds(&mine);
    EXPECT_EQ(shift.x, (grid.left - mine.left) / 256);
    EXPECT_EQ(shift.y, (grid.top - mine.top) / 256);
    _tagPTzOFFSET odd = {3, 0};
    second->MoveCore(&odd);
    EXPECT_EQ(ITzLayerImage::GetBlockOffsetForMatchLayer(second, layer.get(), &shift), 0);

    // The picture hears the floating layer's changes.
    const int heard = owner.changes;
    const PTzRECT spot = {0, 0, 10, 10};
    second->PreviewChanged(&spot);
    EXPECT_EQ(owner.changes, heard + 1);
    // Deactivation merges it away too.
    layer->Deactive();
    EXPECT_EQ(layer->GetFloatingLayer(), nullptr);
    EXPECT_EQ(owner.steps.size(), 2u);
    layer->SetPicture(nullptr);
}

TEST(LayerImageFloating, TheEraseMaskIsAGrayLayerThatErases)
{
    std::mt19937 random(11);
    Owner owner;
    Layer layer = MakeLayer(false, {0, 0, 300, 300}, random, {255, 255});
    layer->SetPicture(&owner);
    ITzLayerImage* mask = layer->CreateFloatingLayer_1(1);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->GetChannelCount(), 1u);
    EXPECT_EQ(mask->GetMergeType(), ITzMERGE_ERASE);
    EXPECT_EQ(layer->CreateFloatingLayer_1(2), nullptr);
    EXPECT_EQ(layer->GetFloatingLayer(), mask);
    const PTzRECT hole = {10, 10, 20, 20};
    const _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
    ASSERT_EQ(mask->FillRect(&hole, &full), 0);
    List undo(ITzBLOCKTYPE_ARGB);
    Layer merged(layer->MergeFloatingLayer(&undo));
    ASSERT_NE(merged, nullptr);
    _tagPTzCOLOR colour;
    const PTzPOINT in = {15, 15}, out = {25, 15};
    layer->GetPixelColor(&in, &colour);
    EXPECT_EQ(colour.alpha, 0);
    layer->GetPixelColor(&out, &colour);
    EXPECT_EQ(colour.alpha, 255);
    layer->SetPicture(nullptr);
}

TEST(LayerImageFloating, MaskMergesUniteAndMultiplyTheAlphaLikeTheTables)
{
    std::mt19937 random(12);
    const CMathMerge* tables = GetMathMerge();
    Layer layer = MakeLayer(false, {0, 0, 300, 300}, random, {1, 255});
    const Snapshot before = Take(*layer, {0, 0, 300, 300});
    std::vector<uint8_t> bytes(40 * 30);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    _tagITzBITMAP mask = {40, 30, 40, 8, PTzCOLORMODE_GRAY, bytes.data()};
    const PTzRECT at = {240, 100, 280, 130};  // across the border of blocks 0 and 1
    ASSERT_EQ(layer->MergeMask(&mask, &at, 200), 1);
    const Snapshot after = Take(*layer, {0, 0, 300, 300});
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            const size_t i = size_t(y) * 300 + x;
            uint8_t alpha = before.bytes[i];
            if (x >= at.left && x < at.right && y >= at.top && y < at.bottom)
                alpha = tables->Union(tables->Product(bytes[(y - at.top) * 40 + x - at.left], 200), alpha);
            ASSERT_EQ(after.bytes[i], alpha) << x << "," << y;
            ASSERT_EQ(after.bytes[i + 90000], before.bytes[i + 90000]);  // red untouched
        }
    _tagITzBITMAP wide = {40, 30, 160, 32, PTzCOLORMODE_ARGB, bytes.data()};
    EXPECT_EQ(layer->MergeMask(&wide, &at, 200), 0);

    // A uniform 255 alpha channel stays as it is; another is expanded first.
    PTzHANDLE channel = nullptr;
    uint8_t constant = 255;
    const PTzRECT inBlock = {0, 0, 40, 30};
    EXPECT_EQ(layer->MergeBlockAlpha(&mask, &channel, &constant, &inBlock, 255), 0);
    EXPECT_EQ(channel, nullptr);
    constant = 10;
    ASSERT_EQ(layer->MergeBlockAlpha(&mask, &channel, &constant, &inBlock, 255), 1);
    ASSERT_NE(channel, nullptr);
    {
        const PTzHandleLockGuard page(channel);
        EXPECT_EQ(page.bytes()[0], tables->Union(bytes[0], 10));
        EXPECT_EQ(page.bytes()[255], 10);
    }
    PTzHandleFree(channel);

    // The gray copy of the alpha, and the alpha multiplied by a mask layer.
    Layer copy(layer->CopyMaskLayer(nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(layer->IsMatchBlockLayer(copy.get()), 1);
    const Snapshot alpha = Take(*copy, {0, 0, 300, 300});
    EXPECT_TRUE(std::equal(alpha.bytes.begin(), alpha.bytes.end(), after.bytes.begin()));
    Layer gray = MakeLayer(true, {0, 0, 300, 300}, random);
    const Snapshot factors = Take(*gray, {0, 0, 300, 300});
    const PTzRECT all = {0, 0, 300, 300};
    EXPECT_EQ(layer->MergeMaskLayer(gray.get(), &all, &all), 0);
    const Snapshot multiplied = Take(*layer, {0, 0, 300, 300});
    for (size_t i = 0; i < 90000; ++i)
        ASSERT_EQ(multiplied.bytes[i], tables->Product(factors.bytes[i], after.bytes[i])) << i;
}

TEST(LayerImageFloating, AMaskMergeWhoseAlphaCannotBeExpandedAnswers0)
{
    // A uniform alpha of 255 takes any mask as it is; another needs a page of its own.
    std::mt19937 random(13);
    _tagITzBITMAP mask = {30, 20, 32, 8, PTzCOLORMODE_GRAY, nullptr};
    std::vector<uint8_t> rows(32 * 20, 180);
    mask.pixels = rows.data();
    const PTzRECT at = {10, 10, 40, 30};
    for (const bool gray : {false, true})
        for (const uint8_t alpha : {uint8_t(255), uint8_t(90)}) {
            Layer layer = MakeLayer(gray, {0, 0, 256, 256}, random, {alpha});
            const Snapshot before = Take(*layer);
            PTzTestSetAllocationCountdown(0);
            const int merged = layer->MergeMask(&mask, &at, 255);
            PTzTestSetAllocationCountdown(-1);
            EXPECT_EQ(merged, alpha == 255 ? 1 : 0) << gray << " " << int(alpha);
            EXPECT_TRUE(Take(*layer) == before) << gray << " " << int(alpha);
            EXPECT_EQ(layer->MergeMask(&mask, &at, 255), 1) << gray << " " << int(alpha);
        }
}

TEST(LayerImageFloating, MergingLayersCoversBothBoundsWithTheOthersMergeType)
{
    std::mt19937 random(13);
    Layer layer = MakeLayer(false, {0, 0, 200, 200}, random);
    Layer other = MakeLayer(false, {100, 150, 400, 300}, random, {255});
    const Snapshot mine = Take(*layer);
    ASSERT_EQ(layer->MergeLayer(other.get()), 1);
    PTzRECT bounds;
    const PTzRECT both = {0, 0, 400, 300};
    layer->GetBounds(&bounds);
    EXPECT_TRUE(PTzRectEqual(&bounds, &both));
    _tagPTzCOLOR colour;
    const PTzPOINT covered = {150, 160}, alone = {50, 50};
    layer->GetPixelColor(&covered, &colour);  // other's block 0 is opaque (40, 50, 60)
    EXPECT_EQ(colour.alpha, 255);
    EXPECT_EQ(colour.components[0], 40);
    const Snapshot after = Take(*layer);
    const size_t index = size_t(alone.y - kArea.top) * 1024 + (alone.x - kArea.left);
    EXPECT_EQ(after.bytes[index], mine.bytes[index]);
    EXPECT_EQ(layer->MergeLayer(nullptr), 0);
}

}  // namespace
