// The moves between interleaved pixels and a block's channel planes, in every build of
// the row loops: rows of every width up to past two vectors, and of a whole block, are
// written as 32-bit, 24-bit red-first and 24-bit blue-first pixels and read back.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>

#include "engine/pixels/layer_image_argb.h"
#include "merge_builds.h"

namespace {

using Layer = std::unique_ptr<ITzLayerImageARGB, ITzLayerDestroyer>;

struct Bitmap {
    _tagITzBITMAP bitmap = {};
    Bitmap(int32_t width, int32_t mode)
    {
        const _tagPTzSIZE size = {width, 1};
        EXPECT_EQ(ITzPrepareITzBitmap(&bitmap, &size, mode), 1);
    }
    ~Bitmap() { ITzReleaseITzBitmap(&bitmap); }
};

class ArgbPack : public MergeBuildTest {};

TEST_P(ArgbPack, RowsOfEveryWidthReachThePlanesAndComeBack)
{
    Layer layer(new ITzLayerImageARGB());
    const PTzRECT block = {0, 0, 256, 256};
    ASSERT_EQ(layer->SetSize(&block, 1), 0);
    const _tagPTzCOLOR grey = {PTzCOLORMODE_ARGB, 77, {10, 20, 30}};
    ASSERT_EQ(layer->FillRect(&block, &grey), 0);
    std::mt19937 random(33);
    for (const int32_t mode : {PTzCOLORMODE_ARGB, PTzCOLORMODE_RGB, PTzCOLORMODE_BGR})
        for (int32_t width = 1; width <= 256; width = width < 80 ? width + 1 : width + 88) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " width " << width);
            Bitmap in(width, mode);
            const int bytes = in.bitmap.bits / 8;
            for (int32_t i = 0; i < width * bytes; ++i)
                in.bitmap.pixels[i] = uint8_t(random());
            const int32_t left = (256 - width) / 2, y = width % 256;
            const PTzRECT row = {left, y, left + width, y + 1};
            // A 24-bit write leaves the alpha the row had.
            Bitmap before(width, PTzCOLORMODE_ARGB), out(width, PTzCOLORMODE_ARGB);
            ASSERT_EQ(layer->GetBlockData(0, &row, &before.bitmap), 0);
            ASSERT_EQ(layer->SetBlockData(0, &row, &in.bitmap), 0);
            ASSERT_EQ(layer->GetBlockData(0, &row, &out.bitmap), 0);
            const bool bgr = mode == PTzCOLORMODE_BGR;
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* pixel = in.bitmap.pixels + x * bytes;
                const uint8_t expected[4] = {bytes == 4 ? pixel[0] : before.bitmap.pixels[x * 4],
                                             bytes == 4 ? pixel[1] : pixel[bgr ? 2 : 0],
                                             bytes == 4 ? pixel[2] : pixel[1],
                                             bytes == 4 ? pixel[3] : pixel[bgr ? 0 : 2]};
                ASSERT_EQ(0, std::memcmp(out.bitmap.pixels + x * 4, expected, 4)) << "pixel " << x;
            }
        }
}

INSTANTIATE_MERGE_BUILDS(ArgbPack);

}  // namespace
