// The I/O manager's clipboard bitmaps: packed DIBs loaded into an image layer and image
// layers saved as packed DIBs through the BMP plug-in found beside the test program.
#include <gtest/gtest.h>

#include <vector>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "image_io_test_support.h"

using namespace image_io_test;

namespace {

using Bytes = std::vector<uint8_t>;
using OwnedLayer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

// A packed DIB: the 40-byte header, `palette` as blue, green, red, 0 entries, then the
// rows bottom-up, each padded to four bytes.
Bytes Dib(int32_t width, int32_t height, uint16_t bits, const std::vector<Argb>& palette,
          const std::vector<Bytes>& rowsTopDown)
{
    Bytes out(40, 0);
    PTzWriteLE32(&out[0], 40);
    PTzWriteLE32(&out[4], uint32_t(width));
    PTzWriteLE32(&out[8], uint32_t(height));
    PTzWriteLE16(&out[12], 1);
    PTzWriteLE16(&out[14], bits);
    PTzWriteLE32(&out[32], uint32_t(palette.size()));
    for (const Argb& entry : palette)
        out.insert(out.end(), {entry.b, entry.g, entry.r, 0});
    const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    for (auto row = rowsTopDown.rbegin(); row != rowsTopDown.rend(); ++row) {
        Bytes padded = *row;
        padded.resize(stride, 0);
        out.insert(out.end(), padded.begin(), padded.end());
    }
    return out;
}

const BITMAPINFOHEADER* Header(const Bytes& bytes)
{
    return reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
}

PTzRECT BoundsOf(const ITzLayerBase& layer)
{
    PTzRECT bounds = {};
    layer.GetBounds(&bounds);
    return bounds;
}

bool SameRect(const PTzRECT& a, const PTzRECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A layer at `bounds` whose pixels differ from their neighbours, all opaque.
OwnedLayer PatternLayer(PTzRECT bounds)
{
    OwnedLayer layer(new ITzLayerImageARGB());
    EXPECT_EQ(0, layer->SetSize(&bounds, 1));
    const int32_t width = bounds.right - bounds.left;
    const int32_t height = bounds.bottom - bounds.top;
    Bytes pixels(size_t(width) * height * 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(size_t(y) * width + x) * 4];
            p[0] = 255, p[1] = uint8_t(x * 7), p[2] = uint8_t(y * 13), p[3] = uint8_t(x ^ y);
        }
    _tagITzBITMAP bitmap = {width, height, width * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const PTzRECT rect = {0, 0, width, height};
    EXPECT_EQ(0, layer->SetRectData(&rect, &bitmap));
    return layer;
}

// Memory callbacks over the base library's handles that count their calls.
struct CountingMemory {
    static inline int allocated = 0, locked = 0, unlocked = 0, freed = 0;
    static inline uint32_t lastSize = 0;
    static void* Allocate(uint32_t size)
    {
        ++allocated;
        lastSize = size;
        return PTzHandleNew(size);
    }
    static void* Lock(void* block) { return ++locked, PTzHandleLock(block); }
    static int Unlock(void* block) { return ++unlocked, PTzHandleUnlock(block); }
    static void* Free(void* block) { return ++freed, PTzHandleFree(block); }
    static _tagITzMEMHANDLECBS Callbacks()
    {
        allocated = locked = unlocked = freed = 0;
        return {&Allocate, &Lock, &Unlock, &Free};
    }
};

}  // namespace

TEST(ImageIOManagerDib, PackedTwentyFourBitRowsLoadWithExactPixels)
{
    // Rows hold blue, green, red per pixel.
    const Bytes dib = Dib(3, 2, 24, {}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}});
    OwnedLayer layer(new ITzLayerImageARGB());
    ITzImageIOManager manager;
    ASSERT_EQ(1, manager.LoadDIBToLayer(Header(dib), uint32_t(dib.size()), layer.get()));
    EXPECT_TRUE(SameRect(BoundsOf(*layer), {0, 0, 3, 2}));
    EXPECT_EQ(PixelAt(*layer, 0, 0), (Argb{255, 3, 2, 1}));
    EXPECT_EQ(PixelAt(*layer, 2, 0), (Argb{255, 9, 8, 7}));
    EXPECT_EQ(PixelAt(*layer, 1, 1), (Argb{255, 15, 14, 13}));
}

TEST(ImageIOManagerDib, EightBitPaletteRowsLoadThroughThePalette)
{
    const std::vector<Argb> palette = {{0, 10, 20, 30}, {0, 200, 100, 50}, {0, 1, 2, 3}};
    const Bytes dib = Dib(4, 2, 8, palette, {{0, 1, 2, 1}, {2, 2, 0, 1}});
    OwnedLayer layer(new ITzLayerImageARGB());
    ITzImageIOManager manager;
    ASSERT_EQ(1, manager.LoadDIBToLayer(Header(dib), uint32_t(dib.size()), layer.get()));
    EXPECT_TRUE(SameRect(BoundsOf(*layer), {0, 0, 4, 2}));
    EXPECT_EQ(PixelAt(*layer, 0, 0), (Argb{255, 10, 20, 30}));
    EXPECT_EQ(PixelAt(*layer, 1, 0), (Argb{255, 200, 100, 50}));
    EXPECT_EQ(PixelAt(*layer, 2, 1), (Argb{255, 10, 20, 30}));
    EXPECT_EQ(PixelAt(*layer, 3, 1), (Argb{255, 200, 100, 50}));
    EXPECT_EQ(PixelAt(*layer, 0, 1), (Argb{255, 1, 2, 3}));
}

TEST(ImageIOManagerDib, SavedLayerLoadsBackIdenticalAndStaysWhereItWas)
{
    // Wider than a block and taller than one band, away from the origin.
    OwnedLayer source = PatternLayer({-40, 30, 260, 330});
    const uint16_t link = source->GetLinkNumber();
    ITzImageIOManager saver;
    void* handle = saver.SaveLayertoDIB(source.get(), nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(SameRect(BoundsOf(*source), {-40, 30, 260, 330}));
    EXPECT_EQ(source->GetLinkNumber(), link);
    EXPECT_EQ(source->GetPicture(), nullptr);

    const uint32_t packed = 40 + 300 * 900;
    OwnedLayer loaded(new ITzLayerImageARGB());
    {
        PTzHandleLockGuard bytes(handle);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(PTzReadLE32(bytes.bytes() + 4), 300u);
        EXPECT_EQ(PTzReadLE16(bytes.bytes() + 14), 24u);
        ITzImageIOManager loader;
        ASSERT_EQ(1, loader.LoadDIBToLayer(reinterpret_cast<const BITMAPINFOHEADER*>(bytes.bytes()), packed,
                                           loaded.get()));
    }
    PTzHandleFree(handle);
    ASSERT_TRUE(SameRect(BoundsOf(*loaded), {0, 0, 300, 300}));
    for (int32_t y = 0; y < 300; y += 7)
        for (int32_t x = 0; x < 300; x += 3)
            ASSERT_EQ(PixelAt(*loaded, x, y), PixelAt(*source, x, y)) << x << "," << y;
}

TEST(ImageIOManagerDib, MalformedBitmapFailsAndLeavesTheLayerAsItWas)
{
    OwnedLayer layer = PatternLayer({5, 6, 20, 30});
    const Argb before = PixelAt(*layer, 3, 4);
    Bytes dib = Dib(3, 2, 24, {}, {Bytes(9, 1), Bytes(9, 2)});
    ITzImageIOManager manager;
    const auto refused = [&](const Bytes& bytes, uint32_t size) {
        PTzSetLastError(0);
        EXPECT_EQ(0, manager.LoadDIBToLayer(Header(bytes), size, layer.get()));
        EXPECT_NE(PTzGetLastError(), 0);
        EXPECT_TRUE(SameRect(BoundsOf(*layer), {5, 6, 20, 30}));
        EXPECT_EQ(PixelAt(*layer, 3, 4), before);
    };
    refused(dib, 20);  // cut inside the header
    Bytes badDepth = dib;
    PTzWriteLE16(&badDepth[14], 7);
    refused(badDepth, uint32_t(badDepth.size()));
    Bytes zeroWidth = dib;
    PTzWriteLE32(&zeroWidth[4], 0);
    refused(zeroWidth, uint32_t(zeroWidth.size()));
    Bytes hugePalette = Dib(3, 2, 8, {}, {Bytes(3, 0), Bytes(3, 0)});
    PTzWriteLE32(&hugePalette[32], 0xFFFFFFFF);
    refused(hugePalette, uint32_t(hugePalette.size()));
    EXPECT_EQ(0, manager.LoadDIBToLayer(nullptr, 40, layer.get()));
    EXPECT_EQ(0, manager.LoadDIBToLayer(Header(dib), uint32_t(dib.size()), nullptr));
}

TEST(ImageIOManagerDib, LayersInAPictureAreRefusedUntouched)
{
    ITzPicture picture;
    picture.Create(10, 10);
    ITzLayerImageARGB* layer = new ITzLayerImageARGB();
    ASSERT_EQ(0, picture.InsertLayer(0, layer));
    const Bytes dib = Dib(3, 2, 24, {}, {Bytes(9, 1), Bytes(9, 2)});
    ITzImageIOManager manager;
    EXPECT_EQ(0, manager.LoadDIBToLayer(Header(dib), uint32_t(dib.size()), layer));
    EXPECT_EQ(nullptr, manager.SaveLayertoDIB(layer, nullptr));
    EXPECT_EQ(picture.GetLayerbyIndex(0), layer);
}

TEST(ImageIOManagerDib, TheCallersMemoryCallbacksMakeTheBlock)
{
    OwnedLayer layer = PatternLayer({0, 0, 5, 3});
    _tagITzMEMHANDLECBS memory = CountingMemory::Callbacks();
    ITzImageIOManager manager;
    void* block = manager.SaveLayertoDIB(layer.get(), &memory);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(CountingMemory::allocated, 1);
    EXPECT_EQ(CountingMemory::locked, CountingMemory::unlocked);
    EXPECT_GE(CountingMemory::locked, 1);
    EXPECT_EQ(CountingMemory::freed, 0);
    EXPECT_EQ(CountingMemory::lastSize, 40u + 3 * 16);
    {
        PTzHandleLockGuard bytes(block);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(PTzReadLE32(bytes.bytes()), 40u);
        EXPECT_EQ(int32_t(PTzReadLE32(bytes.bytes() + 8)), 3);
    }
    PTzHandleFree(block);

    // A layer without pixels gives no block and asks for no memory.
    OwnedLayer empty(new ITzLayerImageARGB());
    memory = CountingMemory::Callbacks();
    EXPECT_EQ(nullptr, manager.SaveLayertoDIB(empty.get(), &memory));
    EXPECT_EQ(CountingMemory::allocated, 0);
}
