// Tests of the I/O manager: the row band of loads and saves, and BMP files loaded and
// saved through the BMP plug-in found beside the test program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/layer_image_argb.h"
#include "image_io_test_support.h"

using namespace image_io_test;

namespace {

ITzPicture* WhitePicture(int32_t width, int32_t height)
{
    auto* picture = new ITzPicture();
    EXPECT_EQ(0, picture->Create_1(width, height, nullptr));
    return picture;
}

// ARGB rows of one colour, as a reader delivers them.
struct Rows {
    std::vector<uint8_t> bytes;
    _tagPTzCOLORCONVERTBUFFER buffer = {};
    Rows(int32_t width, int32_t rows, Argb colour, int32_t stride = 0)
    {
        stride = stride ? stride : width * 4;
        bytes.assign(static_cast<size_t>(stride) * rows, 0);
        for (int32_t y = 0; y < rows; ++y)
            for (int32_t x = 0; x < width; ++x) {
                uint8_t* p = &bytes[static_cast<size_t>(y) * stride + x * 4];
                p[0] = colour.a, p[1] = colour.r, p[2] = colour.g, p[3] = colour.b;
            }
        buffer = {width, rows, stride, PTzCOLORMODE_ARGB, 32, bytes.data(), nullptr};
    }
};

TEST(ImageIOManagerBand, CapacityFollowsPictureHeight)
{
    for (auto [height, capacity] : {std::pair{100, 128u}, {128, 256u}, {1, 2u}, {1000, 256u}}) {
        ITzPicture* picture = WhitePicture(4, height);
        ITzImageIOManager manager;
        Rows rows(4, 1, kRed);
        EXPECT_EQ(0, manager.ReceiveRows(picture, 0, 1, &rows.buffer));
        EXPECT_EQ(capacity, manager.GetBandCapacity()) << height;
        delete picture;
    }
}

TEST(ImageIOManagerBand, TopDownRowsReachTheLayerInTwoRectangles)
{
    ITzPicture* picture = WhitePicture(3, 300);
    ITzImageIOManager manager;
    Rows row(3, 1, kRed);
    for (uint32_t y = 0; y < 256; ++y)
        ASSERT_EQ(0, manager.ReceiveRows(picture, y, 1, &row.buffer));
    EXPECT_EQ(kWhite, PixelAt(*picture, 0, 0));  // still in the band
    ASSERT_EQ(0, manager.ReceiveRows(picture, 256, 1, &row.buffer));
    EXPECT_EQ(kRed, PixelAt(*picture, 2, 0));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 255));
    EXPECT_EQ(kWhite, PixelAt(*picture, 0, 256));
    for (uint32_t y = 257; y < 300; ++y)
        ASSERT_EQ(0, manager.ReceiveRows(picture, y, 1, &row.buffer));
    EXPECT_EQ(kWhite, PixelAt(*picture, 0, 299));
    EXPECT_EQ(0, manager.FlushBand(picture));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 256));
    EXPECT_EQ(kRed, PixelAt(*picture, 2, 299));
    delete picture;
}

// Bottom up, the first band ends at the block border above the last rows, so that the
// next one covers a whole block row.
TEST(ImageIOManagerBand, BottomUpRowsReachTheLayerInTwoRectangles)
{
    ITzPicture* picture = WhitePicture(3, 300);
    ITzImageIOManager manager;
    manager.SetBandDirection(1);
    Rows row(3, 1, kRed);
    for (uint32_t y = 299; y >= 256; --y)
        ASSERT_EQ(0, manager.ReceiveRows(picture, y, 1, &row.buffer));
    EXPECT_EQ(kWhite, PixelAt(*picture, 0, 299));
    ASSERT_EQ(0, manager.ReceiveRows(picture, 255, 1, &row.buffer));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 256));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 299));
    EXPECT_EQ(kWhite, PixelAt(*picture, 0, 255));
    for (int32_t y = 254; y >= 0; --y)
        ASSERT_EQ(0, manager.ReceiveRows(picture, static_cast<uint32_t>(y), 1, &row.buffer));
    EXPECT_EQ(0, manager.FlushBand(picture));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 0));
    EXPECT_EQ(kRed, PixelAt(*picture, 2, 255));
    delete picture;
}

// An ARGB layer that counts the writes each of its blocks takes.
class CountingLayer : public ITzLayerImageARGB {
public:
    using ITzLayerImageARGB::SetBlockData;
    std::map<uint32_t, int> writes;
    int SetBlockData(uint32_t index, const PTzRECT* rect, const _tagITzBITMAP* bitmap) override
    {
        ++writes[index];
        return ITzLayerImageARGB::SetBlockData(index, rect, bitmap);
    }
};

// Rows delivered in order, one or a few at a time, top down or bottom up, write each
// block of the picture once: no band crosses a block border.
TEST(ImageIOManagerBand, RowsInOrderWriteEachBlockOnce)
{
    for (const int32_t height : {1, 255, 256, 257, 1000})
        for (const uint32_t bottomUp : {0u, 1u})
            for (const int32_t chunk : {1, 7}) {
                SCOPED_TRACE(testing::Message() << "height " << height << (bottomUp ? " bottom up" : " top down")
                                                << " by " << chunk);
                auto* layer = new CountingLayer();
                const PTzRECT bounds = {0, 0, 300, height};
                ASSERT_EQ(0, layer->SetSize(&bounds, 1));
                auto* picture = new ITzPicture();
                ASSERT_EQ(0, picture->Create(layer));
                ITzImageIOManager manager;
                manager.SetBandDirection(bottomUp);
                Rows rows(300, chunk, kRed);
                for (int32_t done = 0; done < height; done += chunk) {
                    const int32_t count = std::min(chunk, height - done);
                    const int32_t first = bottomUp ? height - done - count : done;
                    ASSERT_EQ(0, manager.ReceiveRows(picture, uint32_t(first), uint32_t(count), &rows.buffer));
                }
                ASSERT_EQ(0, manager.FlushBand(picture));
                EXPECT_EQ(layer->writes.size(), layer->GetBlockCount());
                for (const auto& [index, count] : layer->writes)
                    EXPECT_EQ(1, count) << "block " << index;
                EXPECT_EQ(kRed, PixelAt(*picture, 0, 0));
                EXPECT_EQ(kRed, PixelAt(*picture, 299, height - 1));
                delete picture;
            }
}

TEST(ImageIOManagerBand, DeliveriesAreClippedAndOddLayoutsGoStraightIn)
{
    ITzPicture* picture = WhitePicture(3, 10);
    ITzImageIOManager manager;
    Rows first(3, 1, kRed);
    ASSERT_EQ(0, manager.ReceiveRows(picture, 0, 1, &first.buffer));
    // Wider, with a longer stride, and running past the picture's bottom: written at
    // once and clipped, never copied into the narrower band.
    Rows wide(8, 4, kRed, 40);
    EXPECT_EQ(0, manager.ReceiveRows(picture, 8, 4, &wide.buffer));
    EXPECT_EQ(kRed, PixelAt(*picture, 2, 9));
    EXPECT_EQ(kRed, PixelAt(*picture, 0, 0));  // the band was written first
    EXPECT_EQ(0, manager.ReceiveRows(picture, 50, 1, &first.buffer));
    EXPECT_EQ(-1, manager.ReceiveRows(picture, 0, 1, nullptr));
    delete picture;
}

TEST(ImageIOManagerBand, BottomUpWriterGetsRowsFromTheBand)
{
    ITzPicture* picture = WhitePicture(2, 300);
    ITzImageIOManager manager;
    Rows request(2, 1, kRed);
    ASSERT_EQ(0, manager.SupplyRows(picture, 299, 1, &request.buffer));
    EXPECT_EQ(255, request.bytes[1]);
    // Rows 44-299 were composed at the first request: a later change of them is not
    // seen, while row 43 is composed afresh.
    auto* layer = dynamic_cast<ITzLayerImage*>(picture->GetLayerbyIndex(0));
    Rows red(2, 300, kRed);
    const PTzRECT all = {0, 0, 2, 300};
    _tagITzBITMAP bitmap = {2, 300, 8, 32, PTzCOLORMODE_ARGB, red.bytes.data()};
    ASSERT_EQ(0, layer->SetRectData(&all, &bitmap));
    ASSERT_EQ(0, manager.SupplyRows(picture, 44, 1, &request.buffer));
    EXPECT_EQ(255, request.bytes[1]);
    ASSERT_EQ(0, manager.SupplyRows(picture, 43, 1, &request.buffer));
    EXPECT_EQ(kRed.r, request.bytes[1]);
    EXPECT_EQ(-1, manager.SupplyRows(nullptr, 0, 1, &request.buffer));
    delete picture;
}

TEST(ImageIOManagerBand, SavedRowsLeaveOutTheMaskEditingOverlay)
{
    ITzPicture* picture = WhitePicture(4, 4);
    // An opaque overlay layer stands in for the selection, so that the view shows it.
    auto* overlay = new ITzLayerImageARGB();
    const PTzRECT bounds = {0, 0, 4, 4};
    overlay->SetSize(&bounds, 1);
    _tagPTzCOLOR blue = {};
    blue.mode = PTzCOLORMODE_ARGB;
    blue.alpha = 255;
    blue.components[2] = 255;
    ASSERT_EQ(0, overlay->FillRect(&bounds, &blue));
    picture->SetSelectLayer(overlay);
    picture->SetMaskEditingMode(1);
    Rows shown(4, 4, kRed);
    _tagITzBITMAP bitmap = {4, 4, 16, 32, PTzCOLORMODE_ARGB, shown.bytes.data()};
    const PTzRECT rect = {0, 0, 4, 4};
    _tagITzZOOMLEVEL zoom = {1, 1};
    ASSERT_EQ(0, picture->GetPreviewData(&rect, &bitmap, &zoom, 0));
    const std::vector<uint8_t> white(shown.bytes.size(), 255);
    ASSERT_NE(white, shown.bytes);  // the view shows the overlay
    ITzImageIOManager manager;
    Rows saved(4, 4, kRed);
    ASSERT_EQ(0, manager.SupplyRows(picture, 0, 4, &saved.buffer));
    EXPECT_EQ(white, saved.bytes);
    EXPECT_EQ(1, picture->GetMaskEditingMode());
    delete picture;
}
TEST_F(ImageIOManagerFiles, BmpSavesAndLoadsStepwiseUnderAnyName)
{
    ITzPicture* picture = RedPicture(5, 300);
    const _tagPTzFILE file = File("a.dat");
    EXPECT_EQ(PTzFourCCNone, picture->GetFormat());
    EXPECT_NE(0, picture->SavePlugInSupport(bmp));
    EXPECT_EQ(0, picture->SavePlugInSupport(nullptr));
    GiveBmpFormat(*picture);
    {
        ITzImageIOManager manager;
        EXPECT_EQ(0, manager.SaveImageFile(picture, &file));
    }
    delete picture;

    ITzImageIOManager manager;
    ITzLoadJob* job = manager.DoLoadStart(&file);
    ASSERT_NE(nullptr, job);
    uint8_t percent = 0;
    while (manager.DoLoading(job, &percent)) {
    }
    EXPECT_EQ(100, percent);
    ITzPicture* loaded = manager.DoLoadEnd(job);
    ASSERT_NE(nullptr, loaded);
    _tagPTzSIZE size = {};
    loaded->GetSize(&size);
    EXPECT_EQ(5, size.cx);
    EXPECT_EQ(300, size.cy);
    EXPECT_EQ(kRed, PixelAt(*loaded, 0, 0));
    EXPECT_EQ(kRed, PixelAt(*loaded, 4, 299));
    EXPECT_EQ(kRed, PixelAt(*loaded, 2, 150));
    _tagITzPICTFORMETSETTING format = {};
    loaded->GetFormat(&format);
    EXPECT_EQ(bmp, format.plugin);
    EXPECT_NE(nullptr, format.setting);
    EXPECT_EQ(FTzGetPlugInSupportFormat(bmp), loaded->GetFormat());
    delete loaded;
}

TEST_F(ImageIOManagerFiles, StepwiseSaveWithThePicturesOwnPlugIn)
{
    ITzPicture* picture = RedPicture(4, 4);
    const _tagPTzFILE file = File("a.bmp");
    ITzImageIOManager first;
    EXPECT_EQ(ITzERR_NO_SAVE_PLUGIN, first.SaveImageFile(picture, &file));
    EXPECT_EQ(nullptr, first.DoSaveStart(picture, &file));
    GiveBmpFormat(*picture);
    ITzImageIOManager second;
    ITzSaveJob* job = second.DoSaveStart(picture, &file);
    ASSERT_NE(nullptr, job);
    uint8_t percent = 0;
    while (second.DoSaving(job, &percent)) {
    }
    EXPECT_EQ(0, second.DoSaveEnd(job));
    ITzImageIOManager loader;
    ITzPicture* loaded = loader.LoadImageFile(&file);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(kRed, PixelAt(*loaded, 3, 3));
    delete loaded;
    delete picture;
}

TEST_F(ImageIOManagerFiles, FailedSaveReportsItAndKeepsTheFormat)
{
    // The file fails where the file stream writes back the bytes it holds: at the end, or
    // amid the rows for a file larger than the stream's window. Either way the result is
    // the system's own number.
    for (const int32_t width : {200, 400}) {
        ITzPicture* picture = RedPicture(width, 300);
        GiveBmpFormat(*picture);
        _tagITzPICTFORMETSETTING before = {};
        picture->GetFormat(&before);
        const _tagPTzFILE file = File("big.bmp");
        ITzSaveJob* job = nullptr;
        int result = 0;
        int oneCallResult = 0;
        {
            const FileSizeLimit limit(1000);
            ASSERT_TRUE(limit.Set());
            ITzImageIOManager manager;
            job = manager.DoSaveStart(picture, &file);
            if (job) {
                while (manager.DoSaving(job, nullptr)) {
                }
                result = manager.DoSaveEnd(job);
            }
            ITzImageIOManager oneCall;
            oneCallResult = oneCall.SaveImageFile(picture, &file);
        }
        EXPECT_NE(nullptr, job);
        EXPECT_EQ(EFBIG, result) << width;
        EXPECT_EQ(EFBIG, oneCallResult) << width;
        _tagITzPICTFORMETSETTING after = {};
        picture->GetFormat(&after);
        EXPECT_EQ(before.plugin, after.plugin);
        EXPECT_EQ(before.setting, after.setting);
        delete picture;
    }
}

TEST_F(ImageIOManagerFiles, CancelledOptionsDialogGivesNoJobAndKeepsTheFormat)
{
    // Without a running application the BMP options dialog counts as cancelled.
    ITzPicture* picture = RedPicture(4, 4);
    const _tagPTzFILE file = File("a.bmp");
    ITzImageIOManager manager;
    EXPECT_EQ(nullptr, manager.DoSaveAsStart(picture, &file, bmp, nullptr));
    EXPECT_NE(0, manager.SaveAsImageFile(picture, &file, bmp, nullptr));
    _tagITzPICTFORMETSETTING format = {};
    picture->GetFormat(&format);
    EXPECT_EQ(nullptr, format.plugin);
    EXPECT_EQ(nullptr, format.setting);
    delete picture;
}

TEST_F(ImageIOManagerFiles, NoReaderNoJob)
{
    const _tagPTzFILE file = File("a.dat");
    FILE* f = std::fopen((folder + "/a.dat").c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("not an image at all", f);
    std::fclose(f);
    ITzImageIOManager manager;
    EXPECT_EQ(nullptr, manager.DoLoadStart(&file));
    EXPECT_EQ(nullptr, manager.LoadImageFile(&file));
    EXPECT_EQ(nullptr, manager.DoLoadStart(nullptr));
}


}  // namespace
