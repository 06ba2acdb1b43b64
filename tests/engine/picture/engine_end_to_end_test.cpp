// End-to-end tests through the engine's plain functions: pictures created or loaded,
// edited as undo steps, undone and redone, saved in the native format or as BMP with
// the plug-ins beside the test program, loaded back and compared pixel for pixel.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/corvane_types.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image_argb.h"
#include "formats/manager/plugin_manager.h"

namespace {

_tagPTzCOLOR Colour(uint8_t r, uint8_t g, uint8_t b)
{
    _tagPTzCOLOR colour = {};
    colour.mode = PTzCOLORMODE_ARGB;
    colour.alpha = 255;
    colour.components[0] = r, colour.components[1] = g, colour.components[2] = b;
    return colour;
}

// An opaque layer of one colour over the rectangle (picture coordinates).
ITzLayerImageARGB* PatchLayer(PTzRECT bounds, const _tagPTzCOLOR& colour)
{
    auto* layer = new ITzLayerImageARGB();
    layer->SetSize(&bounds, 1);
    const PTzRECT whole = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};  // layer coordinates
    EXPECT_EQ(0, layer->FillRect(&whole, &colour));
    return layer;
}

// The whole picture composed at 1/1 through the plain preview function, in ARGB.
std::vector<uint8_t> Composed(void* handle)
{
    _tagPTzSIZE size = {};
    EXPECT_EQ(0, ITzPictGetSize(handle, &size));
    std::vector<uint8_t> pixels(static_cast<size_t>(size.cx) * size.cy * 4, 0);
    _tagITzBITMAP bitmap = {size.cx, size.cy, size.cx * 4, 32, PTzCOLORMODE_ARGB, pixels.data()};
    const PTzRECT rect = {0, 0, size.cx, size.cy};
    _tagITzZOOMLEVEL zoom = {1, 1};
    EXPECT_EQ(0, ITzPictGetPreviewData(handle, &rect, &bitmap, &zoom));
    return pixels;
}

std::vector<uint8_t> Pixel(const std::vector<uint8_t>& composed, int32_t width, int32_t x, int32_t y)
{
    const auto at = composed.begin() + (static_cast<ptrdiff_t>(y) * width + x) * 4;
    return {at, at + 4};
}

// Files in a folder of their own, removed afterwards.
class EngineEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/engine_e2e_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        folder = pattern;
    }
    void TearDown() override
    {
        for (const char* name : {"a.dat", "in.bmp", "out.bmp"})
            std::remove((folder + "/" + name).c_str());
        rmdir(folder.c_str());
    }
    _tagPTzFILE File(const char* name) const
    {
        const std::string path = folder + "/" + name;
        const std::u16string units(path.begin(), path.end());
        _tagPTzFILE file = {};
        EXPECT_EQ(1, PTzFileFill(&file, units.c_str()));
        return file;
    }
    void* PlugIn(uint32_t id) const
    {
        void* plugin = FTzGetPlugInByID(ITzGetFTzIOHANDLE(), id);
        EXPECT_NE(nullptr, plugin) << "the plug-ins must sit in bin/PlugIn";
        return plugin;
    }
    std::string folder;
};

TEST_F(EngineEndToEnd, LoadingAMissingFileReportsTheError)
{
    const _tagPTzFILE file = File("none.bmp");
    int error = 0;
    EXPECT_EQ(nullptr, ITzPictLoad_1(&file, &error));
    EXPECT_NE(0, error);
    EXPECT_EQ(nullptr, ITzPictLoad(nullptr));
}

TEST_F(EngineEndToEnd, EditUndoRedoSaveNativeAndLoadBack)
{
    void* handle = ITzPictCreate_1(300, 20, nullptr);
    ASSERT_NE(nullptr, handle);
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    const std::vector<uint8_t> blank = Composed(handle);

    // A patch across the block border at x = 256, inserted as an undo step.
    ASSERT_EQ(1, picture->DoInsertLayer(1, PatchLayer({250, 5, 270, 15}, Colour(10, 20, 200))));
    const std::vector<uint8_t> edited = Composed(handle);
    EXPECT_EQ((std::vector<uint8_t>{255, 10, 20, 200}), Pixel(edited, 300, 256, 10));
    EXPECT_EQ((std::vector<uint8_t>{255, 255, 255, 255}), Pixel(edited, 300, 249, 10));

    EXPECT_NE(0, ITzPictDoUndo(handle));
    EXPECT_EQ(1, picture->GetLayerCount());
    EXPECT_EQ(blank, Composed(handle));
    EXPECT_NE(0, ITzPictDoRedo(handle));
    EXPECT_EQ(2, picture->GetLayerCount());
    EXPECT_EQ(edited, Composed(handle));

    void* native = PlugIn(PTzFourCC("dwyk"));
    const _tagPTzFILE file = File("a.dat");
    EXPECT_NE(0, ITzPictSaveCheckPlugIn(handle, native));
    ASSERT_EQ(0, ITzPictSaveAs(handle, &file, native, nullptr));
    EXPECT_EQ(FTzGetPlugInSupportFormat(native), ITzPictGetFormat(handle));
    EXPECT_EQ(0, ITzPictDestroy(handle));

    int error = -1;
    void* loaded = ITzPictLoad_1(&file, &error);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(0, error);
    EXPECT_EQ(2, ITzPictGetPictureClass(loaded)->GetLayerCount());
    EXPECT_EQ(edited, Composed(loaded));
    EXPECT_EQ(0, ITzPictDestroy(loaded));
}

// A 5 x 3 bottom-up 24-bit BMP: row y holds pixels (x * 50, y * 100, 7) in red, green, blue.
void WriteBmp(const std::string& path)
{
    std::vector<uint8_t> bytes = {'B', 'M', 102, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                  40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 1, 0, 24, 0,
                                  0, 0, 0, 0, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0};
    for (int y = 2; y >= 0; --y) {
        for (int x = 0; x < 5; ++x) {
            bytes.push_back(7);
            bytes.push_back(static_cast<uint8_t>(y * 100));
            bytes.push_back(static_cast<uint8_t>(x * 50));
        }
        bytes.push_back(0);  // rows end on 4 bytes
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), out));
    std::fclose(out);
}

TEST_F(EngineEndToEnd, LoadBmpEditAndSaveItAsBmpWithItsOwnSetting)
{
    WriteBmp(folder + "/in.bmp");
    const _tagPTzFILE in = File("in.bmp");
    void* handle = ITzPictLoad(&in);
    ASSERT_NE(nullptr, handle);
    void* bmp = PlugIn(PTzFourCC("rbmp"));
    EXPECT_EQ(FTzGetPlugInSupportFormat(bmp), ITzPictGetFormat(handle));
    ITzPicture* picture = ITzPictGetPictureClass(handle);
    _tagITzPICTFORMETSETTING before = {};
    picture->GetFormat(&before);
    EXPECT_EQ(bmp, before.plugin);
    EXPECT_EQ((std::vector<uint8_t>{255, 200, 200, 7}), Pixel(Composed(handle), 5, 4, 2));

    ASSERT_EQ(1, picture->DoInsertLayer(1, PatchLayer({1, 1, 3, 2}, Colour(0, 255, 0))));
    const std::vector<uint8_t> edited = Composed(handle);
    EXPECT_EQ((std::vector<uint8_t>{255, 0, 255, 0}), Pixel(edited, 5, 2, 1));
    EXPECT_EQ((std::vector<uint8_t>{255, 150, 100, 7}), Pixel(edited, 5, 3, 1));

    // No dialog: the save uses the plug-in and the setting the load gave the picture.
    const _tagPTzFILE out = File("out.bmp");
    ASSERT_EQ(0, ITzPictSave(handle, &out));
    _tagITzPICTFORMETSETTING after = {};
    picture->GetFormat(&after);
    EXPECT_EQ(before.plugin, after.plugin);
    EXPECT_EQ(before.setting, after.setting);
    EXPECT_EQ(0, ITzPictDestroy(handle));

    void* loaded = ITzPictLoad(&out);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(edited, Composed(loaded));
    EXPECT_EQ(FTzGetPlugInSupportFormat(bmp), ITzPictGetFormat(loaded));
    EXPECT_EQ(0, ITzPictDestroy(loaded));
}

}  // namespace
