// The selection mask: what counts as selected and as empty, the cached bounds after
// merges and undo against a model, the outline against a scalar reference (also at lefts
// that are not multiples of 8, clipped to the target, and zoomed), and copies.
#include "engine/pixels/layer_image_select.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "base/broadcaster.h"
#include "base/error_codes.h"
#include "engine/pixels/undo_block_list.h"
#include "engine/pixels/zoom_arithmetic.h"

namespace {

using Select = std::unique_ptr<ITzLayerImageSelect, ITzLayerDestroyer>;
using Layer = std::unique_ptr<ITzLayerImage, ITzLayerDestroyer>;

bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Mask values over a picture rectangle, 0 outside it; the model the layer is checked against.
struct Mask {
    PTzRECT rect;
    int32_t stride;
    std::vector<uint8_t> bytes;

    explicit Mask(const PTzRECT& r)
        : rect(r), stride((r.right - r.left + 3) & ~3), bytes(size_t(stride) * (r.bottom - r.top))
    {
    }
    uint8_t at(int32_t x, int32_t y) const
    {
        if (x < rect.left || y < rect.top || x >= rect.right || y >= rect.bottom)
            return 0;
        return bytes[size_t(y - rect.top) * stride + (x - rect.left)];
    }
    void fill(const PTzRECT& r, uint8_t value)
    {
        for (int32_t y = std::max(r.top, rect.top); y < std::min(r.bottom, rect.bottom); ++y)
            for (int32_t x = std::max(r.left, rect.left); x < std::min(r.right, rect.right); ++x)
                bytes[size_t(y - rect.top) * stride + (x - rect.left)] = value;
    }
    _tagITzBITMAP bitmap()
    {
        return {rect.right - rect.left, rect.bottom - rect.top, stride, 8, PTzCOLORMODE_GRAY, bytes.data()};
    }
    // The smallest rectangle holding every non-zero value; all zero when there is none.
    PTzRECT nonZeroBounds() const
    {
        PTzRECT found = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int32_t y = rect.top; y < rect.bottom; ++y)
            for (int32_t x = rect.left; x < rect.right; ++x)
                if (at(x, y))
                    found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                             std::max(found.bottom, y + 1)};
        return found.left == INT32_MAX ? PTzRECT{0, 0, 0, 0} : found;
    }
};

// Writes the mask into the layer's blocks as they are, sizing the layer to it.
void WriteMask(ITzLayerImage& layer, Mask& mask)
{
    ASSERT_EQ(layer.SetSize(&mask.rect, 1), 0);
    PTzRECT local;
    layer.PRECTtoLRECT(&mask.rect, &local);
    const _tagITzBITMAP bitmap = mask.bitmap();
    ASSERT_EQ(layer.SetRectData(&local, &bitmap), 0);
}

// The way the selection tools change a selection: through its floating layer.
bool MergeIn(ITzLayerImageSelect& selection, Mask& mask, ITzMERGETYPE type, ITzUndoBlockListBase& undo)
{
    ITzLayerImage* floating = selection.CreateFloatingLayer();
    if (!floating)
        return false;
    WriteMask(*floating, mask);
    floating->SetMergeType(type);
    Layer merged(selection.MergeFlatingLayer(&undo));
    return merged != nullptr;
}

PTzRECT PictureBounds(ITzLayerImageSelect& selection)
{
    PTzRECT bounds = {-7, -7, -7, -7};
    selection.GetSelectionBounds(&bounds);
    return bounds;
}

// A mask of a few rectangles of random values, some of them single pixels.
Mask RandomMask(std::mt19937& random, const PTzRECT& rect)
{
    Mask mask(rect);
    std::uniform_int_distribution<int32_t> x(rect.left - 20, rect.right + 20), y(rect.top - 20, rect.bottom + 20);
    std::uniform_int_distribution<int> value(0, 255), count(0, 5), size(1, 90);
    for (int i = count(random); i > 0; --i) {
        const int32_t left = x(random), top = y(random);
        const int32_t side = i % 2 ? 1 : size(random);
        mask.fill({left, top, left + side, top + size(random)}, uint8_t(value(random)));
    }
    return mask;
}

// One-bit target bitmaps with a preset pattern, which the outline may only add to.
struct Bits {
    int32_t width, height, stride;
    std::vector<uint8_t> bytes;

    Bits(int32_t w, int32_t h) : width(w), height(h), stride(((w + 7) / 8 + 3) & ~3), bytes(size_t(stride) * h)
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = i % 7 == 0 ? 0x11 : 0;
    }
    _tagITzBITMAP bitmap() { return {width, height, stride, 1, PTzCOLORMODE_GRAY, bytes.data()}; }
};

// The outline a display rectangle must get, display pixel (dx, dy) showing value(dx, dy).
std::vector<uint8_t> ReferenceOutline(const Bits& target, const PTzRECT& rect,
                                      const std::function<uint8_t(int32_t, int32_t)>& value)
{
    std::vector<uint8_t> expected = target.bytes;
    for (int32_t y = rect.top; y < rect.bottom && y - rect.top < target.height; ++y)
        for (int32_t x = rect.left; x < rect.right && x - rect.left < target.width; ++x) {
            const bool edge = value(x - 1, y) < 127 || value(x + 1, y) < 127 || value(x, y - 1) < 127 ||
                              value(x, y + 1) < 127;
            if (value(x, y) >= 127 && edge) {
                const int32_t column = x - rect.left;
                expected[size_t(y - rect.top) * target.stride + column / 8] |= uint8_t(0x80 >> (column % 8));
            }
        }
    return expected;
}

const _tagITzZOOMLEVEL kOne = {1, 1};

TEST(LayerImageSelect, IsAnEmptyOverlayMaskOfTypeSixAndMadeByCreateLayer)
{
    Select selection(new ITzLayerImageSelect());
    EXPECT_EQ(selection->GetType(), ITzLAYERTYPE_SELECT);
    EXPECT_EQ(selection->GetMergeType(), ITzMERGE_MULTIPLY_ALPHA);
    EXPECT_EQ(selection->GetColorMode(), PTzCOLORMODE_GRAY);
    EXPECT_EQ(selection->GetBitDepth(), 8);
    EXPECT_TRUE(SameRect(PictureBounds(*selection), {0, 0, 0, 0}));
    EXPECT_EQ(selection->IsLayerEmpty(), 1);
    EXPECT_EQ(selection->CanDelete(), 1);
    selection->GetSelectionBounds(nullptr);

    Layer made(static_cast<ITzLayerImage*>(ITzLayerBase::CreateLayer(ITzLAYERTYPE_SELECT)));
    EXPECT_NE(dynamic_cast<ITzLayerImageSelect*>(made.get()), nullptr);
}

TEST(LayerImageSelect, PointInSelectionTakesLayerCoordinatesAndStartsAt128)
{
    Select selection(new ITzLayerImageSelect());
    Mask mask({300, 40, 320, 50});
    mask.fill({305, 45, 306, 46}, 128);
    mask.fill({306, 45, 307, 46}, 127);
    WriteMask(*selection, mask);
    const PTzPOINT inLayer = {5, 5}, below = {6, 5}, asPicture = {305, 45}, outside = {-1, 5};
    EXPECT_EQ(selection->PointInSelection(&inLayer), 1);
    EXPECT_EQ(selection->PointInSelection(&below), 0);
    EXPECT_EQ(selection->PointInSelection(&asPicture), 0);
    EXPECT_EQ(selection->PointInSelection(&outside), 0);
    EXPECT_EQ(selection->PointInSelection(nullptr), 0);
}

TEST(LayerImageSelect, SelectionIsEmptyOnlyWhollyInsideOverZeros)
{
    Select selection(new ITzLayerImageSelect());
    Mask mask({100, 100, 400, 300});
    mask.fill({300, 200, 301, 201}, 1);
    WriteMask(*selection, mask);
    // Blocks are asked whole: a block holding data anywhere counts as not empty.
    const PTzRECT zeros = {100, 100, 256, 300}, touching = {250, 190, 310, 210}, across = {90, 100, 120, 120};
    EXPECT_EQ(selection->SelectionIsEmpty(&zeros), 1);
    EXPECT_EQ(selection->SelectionIsEmpty(&touching), 0);
    EXPECT_EQ(selection->SelectionIsEmpty(&across), 0);
    EXPECT_EQ(selection->SelectionIsEmpty(nullptr), 0);
}

TEST(LayerImageSelect, IsLayerEmptyReadsConstantsAndCanDeleteWaitsForTheFloatingLayer)
{
    Select selection(new ITzLayerImageSelect());
    const PTzRECT rect = {0, 0, 300, 10};
    ASSERT_EQ(selection->SetSize(&rect, 1), 0);
    EXPECT_EQ(selection->IsLayerEmpty(), 1);  // present blocks of constant 0
    _tagPTzCOLOR one = {PTzCOLORMODE_GRAY, 255, {1}};
    ASSERT_EQ(selection->SetBlockColor(1, &one), 1);
    EXPECT_EQ(selection->IsLayerEmpty(), 0);
    EXPECT_EQ(selection->CanDelete(), 0);

    Select blank(new ITzLayerImageSelect());
    ASSERT_NE(blank->CreateFloatingLayer(), nullptr);
    EXPECT_EQ(blank->IsLayerEmpty(), 1);
    EXPECT_EQ(blank->CanDelete(), 0);
}

TEST(LayerImageSelect, BoundsFollowMergesOfRandomMasksAtAnyPosition)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> corner(-300, 300), side(1, 600);
    for (int round = 0; round < 40; ++round) {
        const int32_t left = corner(random), top = corner(random);
        Mask mask = RandomMask(random, {left, top, left + side(random), top + side(random)});
        Select selection(new ITzLayerImageSelect());
        ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
        ASSERT_TRUE(MergeIn(*selection, mask, ITzMERGE_REPLACE, undo));
        PTzRECT layer;
        selection->GetBounds(&layer);
        const PTzRECT expected = mask.nonZeroBounds();
        const PTzRECT got = PictureBounds(*selection);
        if (PTzRectEmpty(&expected))  // nothing selected: the empty bounds, moved
            EXPECT_TRUE(SameRect(got, {layer.left, layer.top, layer.left, layer.top})) << round;
        else
            EXPECT_TRUE(SameRect(got, expected)) << round << ": " << got.left << "," << got.top << ","
                                                 << got.right << "," << got.bottom;
        std::uniform_int_distribution<int32_t> px(mask.rect.left, mask.rect.right - 1),
            py(mask.rect.top, mask.rect.bottom - 1);
        for (int i = 0; i < 50; ++i) {
            const PTzPOINT picture = {px(random), py(random)};
            const PTzPOINT local = {picture.x - layer.left, picture.y - layer.top};
            EXPECT_EQ(selection->PointInSelection(&local), mask.at(picture.x, picture.y) >= 128 ? 1 : 0);
        }
    }
}

TEST(LayerImageSelect, BoundsCountLowValuesAndWholeConstantBlocks)
{
    Select selection(new ITzLayerImageSelect());
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    Mask low({0, 0, 200, 100});
    low.fill({20, 30, 90, 31}, 1);
    low.fill({150, 60, 151, 70}, 127);
    ASSERT_TRUE(MergeIn(*selection, low, ITzMERGE_REPLACE, undo));
    EXPECT_TRUE(SameRect(PictureBounds(*selection), {20, 30, 151, 70}));
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 200; ++x) {
            const PTzPOINT point = {x, y};
            ASSERT_EQ(selection->PointInSelection(&point), 0);
        }

    // A block uniform at 255 without data, beside the merged area.
    Select wide(new ITzLayerImageSelect());
    const PTzRECT rect = {0, 0, 512, 256};
    ASSERT_EQ(wide->SetSize(&rect, 1), 0);
    _tagPTzCOLOR full = {PTzCOLORMODE_GRAY, 255, {255}};
    ASSERT_EQ(wide->SetBlockColor(1, &full), 1);
    ASSERT_TRUE(MergeIn(*wide, low, ITzMERGE_NORMAL, undo));
    EXPECT_TRUE(SameRect(PictureBounds(*wide), {20, 0, 512, 256}));
    _tagITzBLOCKINFOGRAY record = {};
    ASSERT_EQ(wide->GetBlockInfo(1, &record, 0), 0);
    EXPECT_EQ(record.data, nullptr);
}

TEST(LayerImageSelect, EmptiedSelectionHasZeroBoundsAndUndoBringsThemBack)
{
    Select selection(new ITzLayerImageSelect());
    ITzUndoTwoLevelBlockList first(ITzBLOCKTYPE_GRAY), second(ITzBLOCKTYPE_GRAY);
    Mask shape({-300, -200, -20, -10});
    shape.fill({-250, -150, -100, -40}, 200);
    ASSERT_TRUE(MergeIn(*selection, shape, ITzMERGE_REPLACE, first));
    ASSERT_TRUE(SameRect(PictureBounds(*selection), {-250, -150, -100, -40}));

    PTzRECT before;
    selection->GetBounds(&before);
    Mask erase({-300, -200, -20, -10});
    ASSERT_TRUE(MergeIn(*selection, erase, ITzMERGE_REPLACE, second));
    EXPECT_TRUE(SameRect(PictureBounds(*selection), {-300, -200, -300, -200}));
    EXPECT_EQ(selection->IsLayerEmpty(), 1);

    ITzUndoTwoLevelBlockList redo(ITzBLOCKTYPE_GRAY);
    PTzRECT now;
    ASSERT_EQ(selection->Undo(&before, &second, &now, &redo), 1);
    EXPECT_TRUE(SameRect(PictureBounds(*selection), {-250, -150, -100, -40}));
    EXPECT_EQ(selection->IsLayerEmpty(), 0);
}

TEST(LayerImageSelect, FloatingMergesRenewTheBoundsThroughEitherSlot)
{
    Select selection(new ITzLayerImageSelect());
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    EXPECT_EQ(selection->MergeFlatingLayer(&undo), nullptr);
    EXPECT_EQ(selection->MergeFloatingLayer(&undo), nullptr);

    Mask mask({0, 0, 50, 50});
    mask.fill({10, 10, 20, 20}, 255);
    ITzLayerImage* floating = selection->CreateFloatingLayer();
    ASSERT_NE(floating, nullptr);
    WriteMask(*floating, mask);
    floating->SetMergeType(ITzMERGE_REPLACE);
    Layer merged(selection->MergeFloatingLayer(&undo));
    EXPECT_EQ(merged.get(), floating);
    EXPECT_EQ(selection->GetFloatingLayer(), nullptr);
    EXPECT_TRUE(SameRect(PictureBounds(*selection), {10, 10, 20, 20}));
}

class MessageLog : public PTzListener {
public:
    std::vector<uint32_t> codes;
    PTzRECT rect = {};
    uint32_t flag = 99;

protected:
    int Listen(uint32_t message, void* param, PTzBroadcaster*) override
    {
        codes.push_back(message);
        if (param) {
            rect = static_cast<_tagITzLAYERCHANGEDRECT*>(param)->rect;
            flag = static_cast<_tagITzLAYERCHANGEDRECT*>(param)->flag;
        }
        return 1;
    }
};

TEST(LayerImageSelect, PreviewChangedAndMovesAnnounceSelectionChangesInPictureCoordinates)
{
    Select selection(new ITzLayerImageSelect());
    const PTzRECT bounds = {40, 60, 100, 100};
    ASSERT_EQ(selection->SetSize(&bounds, 1), 0);
    MessageLog log;
    log.AddToBroadcaster(selection.get());
    const PTzRECT local = {1, 2, 3, 4};
    EXPECT_EQ(selection->PreviewChanged(&local), 0);
    EXPECT_EQ(selection->PreviewChanged(nullptr), ITzERR_INVALID);
    ASSERT_EQ(log.codes, std::vector<uint32_t>{ITzLAYERMSG_SELECTION});
    EXPECT_TRUE(SameRect(log.rect, {41, 62, 43, 64}));
    EXPECT_EQ(log.flag, 0u);
    // A move changes the pixels shown and the selection, at the old and the new bounds.
    _tagPTzOFFSET offset = {-5, 7};
    EXPECT_EQ(selection->MoveCore(&offset), 0);
    const std::vector<uint32_t> moved = {ITzLAYERMSG_SELECTION, ITzLAYERMSG_DATA, ITzLAYERMSG_DATA,
                                         ITzLAYERMSG_SELECTION, ITzLAYERMSG_SELECTION};
    EXPECT_EQ(log.codes, moved);
    EXPECT_TRUE(SameRect(log.rect, {35, 67, 95, 107}));
    // A move by nothing moves nothing and says nothing.
    offset = {0, 0};
    EXPECT_EQ(selection->MoveCore(&offset), ITzERR_INVALID);
    EXPECT_EQ(log.codes.size(), moved.size());
    log.RemoveFromBroadcaster(selection.get());
}

TEST(LayerImageSelect, CopiesAreSelectionsWithTheSameBytesAndBounds)
{
    Select selection(new ITzLayerImageSelect());
    ITzUndoTwoLevelBlockList undo(ITzBLOCKTYPE_GRAY);
    std::mt19937 random(3);
    Mask mask = RandomMask(random, {-30, 5, 400, 300});
    mask.fill({0, 10, 2, 12}, 9);
    ASSERT_TRUE(MergeIn(*selection, mask, ITzMERGE_REPLACE, undo));
    for (ITzLayerBase* made : {static_cast<ITzLayerBase*>(selection->CopyLayer()), selection->CreateCopyLayer()}) {
        Select copy(dynamic_cast<ITzLayerImageSelect*>(made));
        ASSERT_NE(copy, nullptr);
        EXPECT_TRUE(SameRect(PictureBounds(*copy), PictureBounds(*selection)));
        EXPECT_EQ(copy->GetMergeType(), ITzMERGE_MULTIPLY_ALPHA);
        for (int32_t y = mask.rect.top; y < mask.rect.bottom; y += 3)
            for (int32_t x = mask.rect.left; x < mask.rect.right; x += 5) {
                uint8_t a = 1, b = 2;
                const PTzPOINT local = {x - mask.rect.left, y - mask.rect.top};
                ASSERT_EQ(selection->GetPointValue(&local, &a), copy->GetPointValue(&local, &b));
                ASSERT_EQ(a, b);
            }
    }
    Layer blank(selection->CreateSameTypeLayer());
    ASSERT_NE(dynamic_cast<ITzLayerImageSelect*>(blank.get()), nullptr);
    EXPECT_EQ(blank->IsLayerEmpty(), 1);
}

TEST(LayerImageSelect, MergeToBitmapDrawsTheOverlayWhateverTheMergeType)
{
    Select selection(new ITzLayerImageSelect());
    Mask mask({0, 0, 8, 1});
    mask.fill(mask.rect, 255);
    WriteMask(*selection, mask);
    selection->SetMergeType(ITzMERGE_NORMAL);
    uint8_t white[8 * 4];
    std::fill(std::begin(white), std::end(white), 255);
    _tagITzBITMAP target = {8, 1, 32, 32, PTzCOLORMODE_ARGB, white};
    const PTzRECT rect = {0, 0, 8, 1};
    EXPECT_EQ(selection->MergeToBitmap(&target, &rect, &kOne, &kOne), 0);
    EXPECT_EQ(white[0], 255);
    EXPECT_EQ(white[1], 255);
    EXPECT_EQ(white[2], 126);  // the default red overlay at half strength
    EXPECT_EQ(white[3], 126);
}

TEST(LayerImageSelectOutline, RefusesTargetsThatAreNotOneBitBitmaps)
{
    Select selection(new ITzLayerImageSelect());
    Bits bits(16, 4);
    _tagITzBITMAP target = bits.bitmap();
    const PTzRECT rect = {0, 0, 16, 4};
    EXPECT_EQ(selection->GetSelectionBoundary(nullptr, &rect, 0, &kOne, &kOne), ITzERR_INVALID);
    EXPECT_EQ(selection->GetSelectionBoundary(&target, nullptr, 0, &kOne, &kOne), ITzERR_INVALID);
    _tagITzBITMAP gray = target;
    gray.bits = 8;
    EXPECT_EQ(selection->GetSelectionBoundary(&gray, &rect, 0, &kOne, &kOne), ITzERR_INVALID);
    _tagITzBITMAP narrow = target;
    narrow.stride = 1;
    EXPECT_EQ(selection->GetSelectionBoundary(&narrow, &rect, 0, &kOne, &kOne), ITzERR_INVALID);
    _tagITzBITMAP empty = target;
    empty.pixels = nullptr;
    EXPECT_EQ(selection->GetSelectionBoundary(&empty, &rect, 0, &kOne, &kOne), ITzERR_INVALID);
    // Display data that cannot be read draws nothing.
    EXPECT_EQ(selection->GetSelectionBoundary(&target, &rect, 3, &kOne, &kOne), 0);
    EXPECT_EQ(bits.bytes, Bits(16, 4).bytes);
}

TEST(LayerImageSelectOutline, SelectedRectangleGivesItsBorderAndTheMarginCounts)
{
    Select selection(new ITzLayerImageSelect());
    Mask mask({0, 0, 64, 32});
    mask.fill({10, 10, 30, 20}, 255);
    mask.fill({40, 5, 41, 6}, 127);  // outline, though not selected
    WriteMask(*selection, mask);
    // The rectangle starts inside the selected area: its left column has selected
    // neighbours in the fetched margin and is no outline.
    const PTzRECT rect = {12, 4, 60, 24};
    Bits bits(48, 20);
    std::fill(bits.bytes.begin(), bits.bytes.end(), 0);
    _tagITzBITMAP target = bits.bitmap();
    ASSERT_EQ(selection->GetSelectionBoundary(&target, &rect, 0, &kOne, &kOne), 0);
    auto bit = [&](int32_t x, int32_t y) {
        const int32_t c = x - rect.left;
        return (bits.bytes[size_t(y - rect.top) * bits.stride + c / 8] >> (7 - c % 8)) & 1;
    };
    EXPECT_EQ(bit(12, 15), 0);
    EXPECT_EQ(bit(12, 10), 1);
    EXPECT_EQ(bit(20, 10), 1);
    EXPECT_EQ(bit(20, 19), 1);
    EXPECT_EQ(bit(29, 15), 1);
    EXPECT_EQ(bit(20, 15), 0);
    EXPECT_EQ(bit(30, 15), 0);
    EXPECT_EQ(bit(40, 5), 1);
}

TEST(LayerImageSelectOutline, MatchesTheReferenceAtAnyLeftClippedToTheTarget)
{
    std::mt19937 random(11);
    Select selection(new ITzLayerImageSelect());
    Mask mask = RandomMask(random, {-20, -10, 530, 300});
    mask.fill({-5, 3, 260, 200}, 200);
    mask.fill({100, 50, 140, 90}, 0);
    mask.fill({250, 250, 251, 251}, 127);
    WriteMask(*selection, mask);
    const auto value = [&](int32_t x, int32_t y) { return mask.at(x, y); };
    for (const int32_t left : {-27, -5, 0, 3, 13, 250, 253, 257}) {
        for (const int32_t top : {-12, 2, 199}) {
            const PTzRECT rect = {left, top, left + 131, top + 67};
            for (const int32_t width : {131, 77}) {
                Bits bits(width, 60);  // narrower and shorter than the rectangle when 77
                _tagITzBITMAP target = bits.bitmap();
                const std::vector<uint8_t> expected = ReferenceOutline(bits, rect, value);
                ASSERT_EQ(selection->GetSelectionBoundary(&target, &rect, 0, &kOne, &kOne), 0);
                ASSERT_EQ(bits.bytes, expected) << "left " << left << " top " << top << " width " << width;
            }
        }
    }
}

TEST(LayerImageSelectOutline, ZoomedInMatchesTheNearestPixelReference)
{
    std::mt19937 random(5);
    Select selection(new ITzLayerImageSelect());
    Mask mask = RandomMask(random, {0, 0, 300, 280});
    mask.fill({33, 21, 90, 70}, 255);
    WriteMask(*selection, mask);
    const _tagITzZOOMLEVEL twice = {2, 1};
    const auto value = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0)  // left of and above the picture nothing is fetched
            return uint8_t(0);
        return mask.at(ITzZoomNNSourceEnlarge(&twice, x), ITzZoomNNSourceEnlarge(&twice, y));
    };
    for (const int32_t left : {0, 61, 67}) {
        const PTzRECT rect = {left, 37, left + 150, 37 + 110};
        Bits bits(150, 110);
        _tagITzBITMAP target = bits.bitmap();
        const std::vector<uint8_t> expected = ReferenceOutline(bits, rect, value);
        ASSERT_EQ(selection->GetSelectionBoundary(&target, &rect, 0, &twice, &twice), 0);
        EXPECT_EQ(bits.bytes, expected) << "left " << left;
    }
}

}  // namespace
