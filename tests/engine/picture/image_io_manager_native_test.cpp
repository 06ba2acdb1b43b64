// Tests of the I/O manager with native files: every layer kept, a save too large for
// the streams or of a layer the file cannot keep refused before its file is touched,
// and a save cut short reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/corvane_types.h"
#include "base/error_codes.h"
#include "base/memory.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/pixels/layer_image_gray.h"
#include "image_io_test_support.h"

using namespace image_io_test;

namespace {

// Reports every channel of every block as stored raw, all sharing one real 64 KiB
// channel, so that a picture plans a file of many gigabytes without holding it.
class RawBlocksLayer : public ITzLayerImageARGB {
public:
    explicit RawBlocksLayer(PTzHANDLE channel) : m_channel(channel) {}
    using ITzLayerImageARGB::GetBlockInfo;
    int GetBlockInfo(uint32_t index, _tagITzBLOCKINFOARGB* out, int fill) override
    {
        ITzLayerImageARGB::GetBlockInfo(index, out, fill);
        for (PTzHANDLE& channel : out->channels)
            channel = m_channel;
        return 0;
    }

private:
    PTzHANDLE m_channel;
};

// A file in the folder that a refused save must leave as it is; its path.
std::string UsersFile(const std::string& folder, const char* name)
{
    const std::string path = folder + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fputs("the user's file", f);
        std::fclose(f);
    }
    return path;
}

std::string Contents(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[64];
        text.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    return text;
}

TEST_F(ImageIOManagerFiles, NativeFileKeepsEveryLayer)
{
    ASSERT_NE(nullptr, native) << "Dravine must sit in bin/PlugIn";
    ITzPicture* picture = RedPicture(300, 20);
    auto* top = new ITzLayerImageARGB();
    const PTzRECT bounds = {10, 5, 20, 15};
    top->SetSize(&bounds, 1);
    ASSERT_EQ(0, picture->InsertLayer(1, top));
    const _tagPTzFILE file = File("a.dat");
    ITzImageIOManager saver;
    ITzSaveJob* job = saver.DoSaveAsStart(picture, &file, native, nullptr);
    ASSERT_NE(nullptr, job);
    uint8_t percent = 0;
    while (saver.DoSaving(job, &percent)) {
    }
    EXPECT_EQ(100, percent);
    ASSERT_EQ(0, saver.DoSaveEnd(job));
    _tagITzPICTFORMETSETTING format = {};
    picture->GetFormat(&format);
    EXPECT_EQ(native, format.plugin);
    delete picture;

    ITzImageIOManager loader;
    ITzPicture* loaded = loader.LoadImageFile(&file);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(2, loaded->GetLayerCount());
    EXPECT_EQ(kRed, PixelAt(*loaded, 299, 19));
    loaded->GetFormat(&format);
    EXPECT_EQ(native, format.plugin);
    delete loaded;

    // A native load cancelled halfway gives nothing back and frees its reader.
    ITzImageIOManager canceller;
    ITzLoadJob* partial = canceller.DoLoadStart(&file);
    ASSERT_NE(nullptr, partial);
    EXPECT_NE(0, canceller.DoLoading(partial, &percent));
    canceller.DoLoadCancel(partial);
}

TEST_F(ImageIOManagerFiles, NativeSaveBeyondFourGigabytesIsRefusedBeforeTheFileIsTouched)
{
    ASSERT_NE(nullptr, native) << "Dravine must sit in bin/PlugIn";
    ITzPicture* picture = RedPicture(64, 64);
    GiveBmpFormat(*picture);
    _tagITzPICTFORMETSETTING before = {};
    picture->GetFormat(&before);
    // 128 x 128 blocks of four raw channels: 16,384 x 262,145 bytes, just past 4 GiB.
    PTzHANDLE channel = PTzHandleNew(65536);
    auto* huge = new RawBlocksLayer(channel);
    const PTzRECT bounds = {0, 0, 128 * 256, 128 * 256};
    ASSERT_EQ(0, huge->SetSize(&bounds, 0));
    ASSERT_EQ(0, picture->InsertLayer(1, huge));
    const std::string path = UsersFile(folder, "a.dwk");
    const _tagPTzFILE file = File("a.dwk");

    ITzImageIOManager manager;
    PTzSetLastError(0);
    EXPECT_EQ(nullptr, manager.DoSaveAsStart(picture, &file, native, nullptr));
    EXPECT_EQ(ITzERR_INVALID, PTzGetLastError());
    EXPECT_EQ(ITzERR_INVALID, manager.SaveAsImageFile(picture, &file, native, nullptr));
    EXPECT_EQ("the user's file", Contents(path));
    _tagITzPICTFORMETSETTING after = {};
    picture->GetFormat(&after);
    EXPECT_EQ(before.plugin, after.plugin);
    EXPECT_EQ(before.setting, after.setting);
    delete picture;
    PTzHandleFree(channel);
}

// A gray layer has no pixels the file can keep: saving would lose it without a word.
TEST_F(ImageIOManagerFiles, NativeSaveOfALayerTheFileCannotKeepIsRefusedBeforeTheFileIsTouched)
{
    ASSERT_NE(nullptr, native) << "Dravine must sit in bin/PlugIn";
    ITzPicture* picture = RedPicture(64, 64);
    auto* gray = new ITzLayerImageGray();
    const PTzRECT bounds = {0, 0, 64, 64};
    ASSERT_EQ(0, gray->SetSize(&bounds, 1));
    ASSERT_EQ(0, picture->InsertLayer(1, gray));
    const std::string path = UsersFile(folder, "g.dwk");
    const _tagPTzFILE file = File("g.dwk");
    ITzImageIOManager manager;
    EXPECT_EQ(nullptr, manager.DoSaveAsStart(picture, &file, native, nullptr));
    EXPECT_EQ(PTzERR_COLOR_UNSUPPORTED, PTzGetLastError());
    EXPECT_EQ(PTzERR_COLOR_UNSUPPORTED, manager.SaveAsImageFile(picture, &file, native, nullptr));
    EXPECT_EQ("the user's file", Contents(path));
    delete picture;
}

TEST_F(ImageIOManagerFiles, NativeSaveCutShortReportsItAndKeepsTheFormat)
{
    ASSERT_NE(nullptr, native) << "Dravine must sit in bin/PlugIn";
    ITzPicture* picture = RedPicture(300, 300);
    // A dot of another colour keeps its block's channels raw: far beyond 1000 bytes.
    _tagPTzCOLOR dot = {PTzCOLORMODE_ARGB, 10, {1, 2, 3}};
    const PTzRECT spot = {7, 7, 8, 8};
    ASSERT_EQ(0, static_cast<ITzLayerImage*>(picture->GetLayerbyIndex(0))->FillRect(&spot, &dot));
    GiveBmpFormat(*picture);
    _tagITzPICTFORMETSETTING before = {};
    picture->GetFormat(&before);
    const _tagPTzFILE file = File("a.dwk");
    ITzSaveJob* job = nullptr;
    int result = 0;
    {
        const FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.Set());
        ITzImageIOManager manager;
        job = manager.DoSaveAsStart(picture, &file, native, nullptr);
        if (job) {
            while (manager.DoSaving(job, nullptr)) {
            }
            result = manager.DoSaveEnd(job);
        }
    }
    EXPECT_NE(nullptr, job);
    EXPECT_NE(0, result);
    _tagITzPICTFORMETSETTING after = {};
    picture->GetFormat(&after);
    EXPECT_EQ(before.plugin, after.plugin);
    EXPECT_EQ(before.setting, after.setting);
    delete picture;
}

}  // namespace
