// Shared by the I/O manager's tests: ARGB pixels read back from layers, and a fixture
// of files in a folder of their own with the plug-ins found beside the test program.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "base/corvane_types.h"
#include "engine/picture/ftz_manage.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "formats/manager/plugin_manager.h"
#include "formats/manager/save_format.h"

namespace image_io_test {

struct Argb {
    uint8_t a, r, g, b;
    bool operator==(const Argb&) const = default;
};
constexpr Argb kWhite = {255, 255, 255, 255};
constexpr Argb kRed = {255, 200, 10, 20};

inline Argb PixelAt(ITzLayerImage& layer, int32_t x, int32_t y)
{
    uint8_t bytes[4] = {};
    _tagITzBITMAP bitmap = {1, 1, 4, 32, PTzCOLORMODE_ARGB, bytes};
    const PTzRECT rect = {x, y, x + 1, y + 1};
    EXPECT_EQ(0, layer.GetRectData(&rect, &bitmap));
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

inline Argb PixelAt(ITzPicture& picture, int32_t x, int32_t y)
{
    return PixelAt(*dynamic_cast<ITzLayerImage*>(picture.GetLayerbyIndex(0)), x, y);
}

// Writes past `bytes` fail while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small = {bytes, m_old.rlim_max};
        m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Set() const { return m_set; }

private:
    rlimit m_old = {};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

// Files in a folder of their own, removed afterwards.
class ImageIOManagerFiles : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/iomgr_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        folder = pattern;
        CFTzManage* manage = CFTzManage::Get();
        ASSERT_NE(nullptr, manage);
        bmp = FTzGetPlugInByID(manage->GetList(), PTzFourCC("rbmp"));
        ASSERT_NE(nullptr, bmp) << "Bitmora must sit in bin/PlugIn";
        native = FTzGetPlugInByID(manage->GetList(), PTzFourCC("dwyk"));
    }
    void TearDown() override
    {
        for (const char* name : {"a.bmp", "a.dat", "big.bmp", "a.dwk"})
            std::remove((folder + "/" + name).c_str());
        rmdir(folder.c_str());
    }
    _tagPTzFILE File(const char* name) const
    {
        _tagPTzFILE file = {};
        const std::string path = folder + "/" + name;
        for (size_t i = 0; i < path.size(); ++i)
            file.path[i] = static_cast<PTzChar>(path[i]);
        return file;
    }
    // The picture as if read by the BMP plug-in, so that plain saves use it.
    void GiveBmpFormat(ITzPicture& picture)
    {
        const _tagITzPICTFORMETSETTING format = {bmp, FTzCreateFormatSetting(bmp)};
        picture.SetFormat(&format);
    }
    ITzPicture* RedPicture(int32_t width, int32_t height)
    {
        auto* picture = new ITzPicture();
        _tagPTzCOLOR red = {};
        red.mode = PTzCOLORMODE_ARGB;
        red.alpha = 255;
        red.components[0] = kRed.r, red.components[1] = kRed.g, red.components[2] = kRed.b;
        EXPECT_EQ(0, picture->Create_1(width, height, &red));
        return picture;
    }
    std::string folder;
    void* bmp = nullptr;
    void* native = nullptr;  // null when Dravine is missing
};

}  // namespace image_io_test
