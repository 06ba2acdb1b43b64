// Tests of the engine's plain functions: refusals of null handles, the zoom conversions,
// layers outside pictures, and the lifetime of the process-wide objects under
// nested ITzInit/ITzUninit pairs. Nothing here loads the plug-ins before the last test.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/engine_global_tool_list.h"
#include "engine/picture/engine_lifetime.h"
#include "engine/picture/ftz_manage.h"
#include "engine/picture/picture.h"
#include "engine/pixels/anti_line_math.h"
#include "engine/pixels/blend_tables.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_base.h"

namespace {

TEST(EngineFunctions, NullPictureHandlesAreRefused)
{
    EXPECT_EQ(ITzERR_INVALID, ITzPictDestroy(nullptr));
    EXPECT_EQ(PTzFourCCNone, ITzPictGetFormat(nullptr));
    _tagPTzSIZE size = {7, 7};
    EXPECT_EQ(ITzERR_INVALID, ITzPictGetSize(nullptr, &size));
    EXPECT_EQ(7, size.cx);
    _tagITzZOOMLEVEL zoom = {1, 1};
    EXPECT_EQ(ITzERR_INVALID, ITzPictGetPreviewSize(nullptr, &size, &zoom));
    const PTzRECT rect = {0, 0, 1, 1};
    uint8_t pixel[4] = {};
    _tagITzBITMAP bitmap = {1, 1, 4, 32, PTzCOLORMODE_ARGB, pixel};
    EXPECT_EQ(ITzERR_INVALID, ITzPictGetPreviewData(nullptr, &rect, &bitmap, &zoom));
    const _tagPTzFILE file = {};
    EXPECT_EQ(ITzERR_INVALID, ITzPictSave(nullptr, &file));
    EXPECT_EQ(ITzERR_INVALID, ITzPictSaveAs(nullptr, &file, nullptr, nullptr));
    EXPECT_EQ(0, ITzPictSaveCheckPlugIn(nullptr, nullptr));
    EXPECT_EQ(nullptr, ITzPictGetSelectionLayer(nullptr));
    EXPECT_EQ(0, ITzPictDoUndo(nullptr));
    EXPECT_EQ(0, ITzPictDoRedo(nullptr));
    ITzPictDataChangeHandler handler;
    EXPECT_EQ(0, ITzPictInsertDataChangeHandler(nullptr, &handler));
    EXPECT_EQ(0, ITzPictRemoveDataChangeHandler(nullptr, &handler));
}

TEST(EngineFunctions, CreatedPicturesHaveTheirSizeAndLayers)
{
    void* empty = ITzPictCreate(300, 20);
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(empty, ITzPictSetPictureClass(ITzPictGetPictureClass(empty)));
    _tagPTzSIZE size = {};
    EXPECT_EQ(0, ITzPictGetSize(empty, &size));
    EXPECT_EQ(300, size.cx);
    EXPECT_EQ(20, size.cy);
    EXPECT_EQ(0, ITzPictGetPictureClass(empty)->GetLayerCount());
    EXPECT_EQ(PTzFourCCNone, ITzPictGetFormat(empty));
    EXPECT_EQ(0, ITzPictDestroy(empty));

    // No colour gives opaque white.
    void* white = ITzPictCreate_1(3, 2, nullptr);
    ASSERT_NE(nullptr, white);
    EXPECT_EQ(1, ITzPictGetPictureClass(white)->GetLayerCount());
    _tagITzZOOMLEVEL zoom = {1, 1};
    const PTzRECT rect = {0, 0, 3, 2};
    std::vector<uint8_t> pixels(3 * 2 * 4, 0);
    _tagITzBITMAP bitmap = {3, 2, 12, 32, PTzCOLORMODE_ARGB, pixels.data()};
    EXPECT_EQ(0, ITzPictGetPreviewData(white, &rect, &bitmap, &zoom));
    EXPECT_EQ(std::vector<uint8_t>(pixels.size(), 255), pixels);
    EXPECT_EQ(0, ITzPictDestroy(white));
}

TEST(EngineFunctions, SizesBeyondSignedCoordinatesAreRefused)
{
    PTzSetLastError(0);
    EXPECT_EQ(nullptr, ITzPictCreate(0x80000000u, 1));
    EXPECT_EQ(ITzERR_INVALID, PTzGetLastError());
    PTzSetLastError(0);
    EXPECT_EQ(nullptr, ITzPictCreate_1(1, 0x80000000u, nullptr));
    EXPECT_EQ(ITzERR_INVALID, PTzGetLastError());
}

TEST(EngineZoomConversions, ZoomedToSixteenthsAtHalf)
{
    _tagITzZOOMLEVEL zoom = {1, 2};
    const PTzPOINT in = {3, 5};
    PTzPOINT out = {};
    EXPECT_EQ(0, ITzPictZPToPPMT(&zoom, &in, &out));
    EXPECT_EQ(96, out.x);
    EXPECT_EQ(160, out.y);
}

TEST(EngineZoomConversions, SignedDivisionTruncatesTowardZero)
{
    _tagITzZOOMLEVEL zoom = {3, 1};
    const PTzPOINT in = {-7, 7};
    PTzPOINT out = {};
    EXPECT_EQ(0, ITzPictZPToPP(&zoom, &in, &out));
    EXPECT_EQ(-2, out.x);
    EXPECT_EQ(2, out.y);
    _tagITzZOOMLEVEL shrink = {2, 3};
    EXPECT_EQ(0, ITzPictPPToZP(&shrink, &in, &out));
    EXPECT_EQ(-4, out.x);
    EXPECT_EQ(4, out.y);
}

TEST(EngineZoomConversions, ProductsBeyond32BitsStayExact)
{
    // 2^30 x 3 / 4 overflows 32-bit arithmetic but not the result.
    _tagITzZOOMLEVEL zoom = {4, 3};
    const PTzPOINT in = {1 << 30, -(1 << 30)};
    PTzPOINT out = {};
    EXPECT_EQ(0, ITzPictZPToPP(&zoom, &in, &out));
    EXPECT_EQ(805306368, out.x);
    EXPECT_EQ(-805306368, out.y);
}

TEST(EngineZoomConversions, ZeroTermsBecomeOneInTheCallersRecord)
{
    _tagITzZOOMLEVEL zoom = {0, 0};
    const PTzPOINT in = {4, -4};
    PTzPOINT out = {};
    EXPECT_EQ(0, ITzPictPPToZP(&zoom, &in, &out));
    EXPECT_EQ(1u, zoom.numerator);
    EXPECT_EQ(1u, zoom.denominator);
    EXPECT_EQ(4, out.x);
    EXPECT_EQ(-4, out.y);
}

TEST(EngineZoomConversions, RefusalsChangeNothing)
{
    _tagITzZOOMLEVEL zoom = {0, 1};
    const PTzPOINT in = {1, 1};
    PTzPOINT out = {9, 9};
    EXPECT_EQ(ITzERR_INVALID, ITzPictZPToPPMT(nullptr, &in, &out));
    EXPECT_EQ(ITzERR_INVALID, ITzPictZPToPP(&zoom, nullptr, &out));
    EXPECT_EQ(ITzERR_INVALID, ITzPictPPToZP(&zoom, &in, nullptr));
    EXPECT_EQ(0u, zoom.numerator);

    // A result beyond 32 bits signed is no point at all.
    _tagITzZOOMLEVEL huge = {0, 0xFFFFFFFFu};
    const PTzPOINT far = {INT32_MAX, 0};
    EXPECT_EQ(ITzERR_INVALID, ITzPictZPToPPMT(&huge, &far, &out));
    EXPECT_EQ(9, out.x);
    EXPECT_EQ(0u, huge.numerator);
}

TEST(EngineLayerFunctions, LayersOutsidePicturesAreMadeAndFreed)
{
    void* layer = ITzLayerCreate(ITzLAYERTYPE_ARGB);
    ASSERT_NE(nullptr, layer);
    EXPECT_EQ(ITzLAYERTYPE_ARGB, static_cast<ITzLayerBase*>(layer)->GetType());
    const PTzRECT rect = {0, 0, 4, 4};
    const _tagPTzCOLOR colour = {};
    EXPECT_EQ(ITzERR_INVALID, ITzOPLayerFill(layer, &rect, &colour));
    EXPECT_EQ(ITzERR_INVALID, ITzOPLayerFill(nullptr, nullptr, nullptr));
    EXPECT_EQ(1, ITzLayerDestroy(layer));
    EXPECT_EQ(0, ITzLayerDestroy(nullptr));
    EXPECT_EQ(nullptr, ITzLayerCreate(static_cast<_tagITzLAYERTYPE>(99)));
}

TEST(EngineLayerFunctions, ALayerAPictureHoldsIsNotFreed)
{
    void* handle = ITzPictCreate_1(4, 4, nullptr);
    ASSERT_NE(nullptr, handle);
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    ITzLayerBase* layer = picture->GetLayerbyIndex(0);
    EXPECT_EQ(0, ITzLayerDestroy(layer));
    EXPECT_EQ(layer, picture->GetLayerbyIndex(0));
    EXPECT_EQ(0, ITzPictDestroy(handle));
}

// Five process-wide objects whose existence, making and freeing the tests control.
struct FakeServices {
    bool exists[ITzSERVICE_COUNT] = {};
    bool makeable[ITzSERVICE_COUNT] = {true, true, true, true, true};
    std::vector<uint32_t> made;
    std::vector<uint32_t> freed;
};
FakeServices g_fake;

template <uint32_t I>
ITzEngineService FakeService()
{
    return {[] { return g_fake.exists[I]; },
            [] {
                if (!g_fake.exists[I] && g_fake.makeable[I]) {
                    g_fake.exists[I] = true;
                    g_fake.made.push_back(I);
                }
                return g_fake.exists[I];
            },
            [] {
                if (g_fake.exists[I])
                    g_fake.freed.push_back(I);
                g_fake.exists[I] = false;
            }};
}

class EngineLifetime : public testing::Test {
protected:
    void SetUp() override { g_fake = {}; }
    const ITzEngineService services[ITzSERVICE_COUNT] = {FakeService<0>(), FakeService<1>(), FakeService<2>(),
                                                         FakeService<3>(), FakeService<4>()};
    ITzEngineLifetime lifetime{services};
};

TEST_F(EngineLifetime, UninitWithNothingMadeMakesNothing)
{
    EXPECT_EQ(0, lifetime.Uninit());
    EXPECT_TRUE(g_fake.made.empty());
    EXPECT_TRUE(g_fake.freed.empty());
}

TEST_F(EngineLifetime, UnpairedUninitFreesWhatExistsInOrder)
{
    g_fake.exists[ITzSERVICE_SCRATCH_POOL] = true;  // first use through getters
    g_fake.exists[ITzSERVICE_MATH_MERGE] = true;
    g_fake.exists[ITzSERVICE_PLUG_INS] = true;
    EXPECT_EQ(0, lifetime.Uninit());
    EXPECT_EQ((std::vector<uint32_t>{ITzSERVICE_MATH_MERGE, ITzSERVICE_PLUG_INS, ITzSERVICE_SCRATCH_POOL}),
              g_fake.freed);
    EXPECT_TRUE(g_fake.made.empty());
}

TEST_F(EngineLifetime, PairsNestOnTheBaseReference)
{
    g_fake.exists[ITzSERVICE_SCRATCH_POOL] = true;  // a live picture uses the pool
    EXPECT_EQ(0, lifetime.Init());
    EXPECT_EQ(0, lifetime.Init());
    EXPECT_EQ((std::vector<uint32_t>{ITzSERVICE_TOOL_LIST, ITzSERVICE_ANTI_LINE_MATH}), g_fake.made);
    EXPECT_EQ(2u, lifetime.OpenPairs());
    EXPECT_EQ(0, lifetime.Uninit());
    EXPECT_EQ(0, lifetime.Uninit());
    EXPECT_TRUE(g_fake.freed.empty());
    EXPECT_TRUE(g_fake.exists[ITzSERVICE_SCRATCH_POOL]);
    EXPECT_EQ(0, lifetime.Uninit());  // the program's exit
    EXPECT_EQ(
        (std::vector<uint32_t>{ITzSERVICE_TOOL_LIST, ITzSERVICE_SCRATCH_POOL, ITzSERVICE_ANTI_LINE_MATH}),
        g_fake.freed);
}

TEST_F(EngineLifetime, FailingInitKeepsTheCountAndWhatExistedBefore)
{
    EXPECT_EQ(0, lifetime.Init());
    g_fake.exists[ITzSERVICE_TOOL_LIST] = false;  // gone since, and the pool cannot be had
    g_fake.exists[ITzSERVICE_SCRATCH_POOL] = false;
    g_fake.makeable[ITzSERVICE_SCRATCH_POOL] = false;
    g_fake.made.clear();
    EXPECT_EQ(ITzERR_INIT_FAILED, lifetime.Init());
    EXPECT_EQ(ITzERR_INIT_FAILED, PTzGetLastError());
    EXPECT_EQ(1u, lifetime.OpenPairs());
    // The list it made goes again; the anti-aliasing table made before stays.
    EXPECT_EQ((std::vector<uint32_t>{ITzSERVICE_TOOL_LIST}), g_fake.made);
    EXPECT_EQ((std::vector<uint32_t>{ITzSERVICE_TOOL_LIST}), g_fake.freed);
    EXPECT_TRUE(g_fake.exists[ITzSERVICE_ANTI_LINE_MATH]);

    g_fake.exists[ITzSERVICE_TOOL_LIST] = true;
    g_fake.freed.clear();
    EXPECT_EQ(ITzERR_INIT_FAILED, lifetime.Init());
    EXPECT_TRUE(g_fake.freed.empty());  // a list that existed before the call is kept
    EXPECT_EQ(1u, lifetime.OpenPairs());
}

TEST_F(EngineLifetime, UnconnectedAntiAliasingTableIsLeftAlone)
{
    ITzEngineService partial[ITzSERVICE_COUNT] = {services[0], services[1], services[2], services[3], {}};
    ITzEngineLifetime withoutTable(partial);
    EXPECT_EQ(0, withoutTable.Init());
    EXPECT_EQ((std::vector<uint32_t>{ITzSERVICE_TOOL_LIST, ITzSERVICE_SCRATCH_POOL}), g_fake.made);
    // Connected later, the next call sees it.
    partial[ITzSERVICE_ANTI_LINE_MATH] = services[ITzSERVICE_ANTI_LINE_MATH];
    EXPECT_EQ(0, withoutTable.Init());
    EXPECT_TRUE(g_fake.exists[ITzSERVICE_ANTI_LINE_MATH]);
}

void ExpectNoProcessWideObjects()
{
    EXPECT_EQ(nullptr, FindMathMerge());
    EXPECT_EQ(nullptr, CFTzManage::Find());
    EXPECT_EQ(nullptr, FindGlobalToolList());
    EXPECT_EQ(nullptr, FindBlockMemoryPool());
    EXPECT_EQ(nullptr, FindAntiLineMath());
}

TEST(EngineInit, InitAndUninitWithAPictureAliveLeaveTheEngineWorking)
{
    void* handle = ITzPictCreate_1(300, 300, nullptr);
    ASSERT_NE(nullptr, handle);
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    ASSERT_NE(nullptr, GetMathMerge());
    ITzBlockMemoryPool* pool = GetBlockMemoryPool();
    ASSERT_NE(nullptr, pool);

    EXPECT_EQ(0, ITzInit());
    EXPECT_EQ(0, ITzInit());
    EXPECT_EQ(0, ITzUninit());
    EXPECT_EQ(0, ITzUninit());
    EXPECT_EQ(pool, FindBlockMemoryPool());
    EXPECT_NE(nullptr, FindMathMerge());
    ASSERT_NE(nullptr, FindGlobalToolList());
    // The anti-aliasing tables that the first pair made outlive the nested pairs.
    const ITzAntiLineMath* tables = FindAntiLineMath();
    ASSERT_NE(nullptr, tables);
    EXPECT_EQ(tables, GetAntiLineMath());

    // The picture still composes through the blend tables and the scratch pool.
    auto* layer = new ITzLayerImageARGB();
    const PTzRECT bounds = {250, 250, 260, 260};
    layer->SetSize(&bounds, 1);
    _tagPTzCOLOR red = {};
    red.mode = PTzCOLORMODE_ARGB;
    red.alpha = 255;
    red.components[0] = 255;
    const PTzRECT whole = {0, 0, 10, 10};  // layer coordinates
    ASSERT_EQ(0, layer->FillRect(&whole, &red));
    ASSERT_EQ(0, picture->InsertLayer(1, layer));
    _tagITzZOOMLEVEL zoom = {1, 2};
    const PTzRECT rect = {127, 127, 128, 128};
    uint8_t pixel[4] = {};
    _tagITzBITMAP bitmap = {1, 1, 4, 32, PTzCOLORMODE_ARGB, pixel};
    EXPECT_EQ(0, ITzPictGetPreviewData(handle, &rect, &bitmap, &zoom));
    EXPECT_EQ(255, pixel[0]);
    EXPECT_EQ(255, pixel[1]);
    EXPECT_EQ(0, pixel[2]);
    EXPECT_EQ(0, ITzPictDestroy(handle));

    EXPECT_EQ(0, ITzUninit());  // the program's exit
    ExpectNoProcessWideObjects();
    EXPECT_EQ(0, ITzUninit());  // finds nothing to free and makes nothing
    ExpectNoProcessWideObjects();
}

TEST(EngineInit, InitMakesTheToolListWithTheLayerManager)
{
    EXPECT_EQ(0, ITzInit());
    ITzGlobalToolList* list = FindGlobalToolList();
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(list, GetGlobalToolList());
    ASSERT_EQ(1u, list->count);
    EXPECT_EQ(ITzTOOLID_LAYER_MANAGER, list->tools[0]->GetToolID());
    EXPECT_NE(nullptr, FindBlockMemoryPool());
    EXPECT_EQ(0, ITzUninit());
    EXPECT_EQ(list, FindGlobalToolList());
    EXPECT_EQ(0, ITzUninit());
    ExpectNoProcessWideObjects();
    // Made again on use. The plug-ins then stay loaded until the process ends: unloading
    // the BMP plug-in would unload the GUI toolkit it brings into this test process.
    EXPECT_NE(nullptr, ITzGetFTzIOHANDLE());
}

}  // namespace
