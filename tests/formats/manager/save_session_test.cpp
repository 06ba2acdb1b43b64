// Stepwise saves through the fake writer into a memory block: the bytes and step
// results of a whole session, a row supplier's failure, and the codes of the calls.
#include "formats/manager/save_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/error_codes.h"
#include "base/mem_stream.h"
#include "formats/manager/save_format.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

class SaveSession : public PlugInFolder {
protected:
    void SetUp() override
    {
        PlugInFolder::SetUp();
        stream = PTzCreateMemStream(block, sizeof(block));
        ASSERT_NE(stream, nullptr);
        info.width = 3;
        info.height = 2;
        info.bits = 24;
        info.mode = PTzCOLORMODE_RGB;
    }
    void TearDown() override
    {
        PTzDestoryMemStream(stream);
        PlugInFolder::TearDown();
    }

    uint8_t block[256] = {};
    _tagPTzIOSTREAM* stream = nullptr;
    _tagFTzIMAGEINFO_1 info{};
};

// Pixel x of row y holds the bytes 10y + x, 100 + x, 200 + y.
int SupplyRows(uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void*)
{
    for (uint32_t i = 0; i < rows; ++i)
        for (int32_t x = 0; x < data->width; ++x) {
            uint8_t* pixel = data->data + i * data->stride + 3 * x;
            pixel[0] = uint8_t(10 * (row + i) + x);
            pixel[1] = uint8_t(100 + x);
            pixel[2] = uint8_t(200 + row + i);
        }
    return 0;
}

int SupplyExtra(uint32_t kind, void** data, uint32_t* size, void*)
{
    static char extra[] = "EXT!";
    if (kind != FTzEXTINFO_BMP_GAP)
        return -5;
    *data = extra;
    *size = 4;
    return 0;
}

TEST_F(SaveSession, WritesTheWholeImageStepByStep)
{
    _tagFTzSAVEEXTINFOCALLBACK_1 extra{SupplyExtra, nullptr};
    int error = 0;
    void* session = FTzSaveStart_1(Writer(), stream, &extra, &error);
    ASSERT_NE(session, nullptr);
    void* setting = FTzCreateFormatSetting(Writer());
    EXPECT_EQ(FTzSaveSetFormatSetting_1(session, setting), 0);
    EXPECT_EQ(FTzSaveSetInfo_1(session, &info), 0);
    _tagFTzSAVEGETDATACALLBACK_1 rows{SupplyRows, nullptr};
    EXPECT_EQ(FTzSaveSetCallBack_1(session, &rows), 0);
    std::vector<int> results;
    std::vector<int> percents;
    for (int step = 0; step < 10 && (results.empty() || results.back() == 0); ++step) {
        uint8_t percent = 0;
        results.push_back(FTzSave_1(session, &percent));
        percents.push_back(percent);
    }
    EXPECT_EQ(results, (std::vector<int>{0, 0, 0, FTzSTEP_FINISHED}));
    EXPECT_EQ(percents[2], 100);
    EXPECT_EQ(FTzSaveEnd_1(session), 0);
    EXPECT_EQ(FTzReleaseFormatSetting(Writer(), setting), 1);

    const uint8_t expected[] = {'E', 'X', 'T', '!', 42, 0,   0,   0,   3,   0,   0,   0,   2,   0,   0,   0,
                                10,  100, 201, 11, 101, 201, 12, 102, 201, 0, 100, 200, 1, 101, 200, 2, 102, 200};
    EXPECT_EQ(std::memcmp(block, expected, sizeof(expected)), 0);
    EXPECT_EQ(block[sizeof(expected)], 0);
}

TEST_F(SaveSession, ARowSuppliersFailureIsTheStepsResult)
{
    int error = 0;
    void* session = FTzSaveStart_1(Writer(), stream, nullptr, &error);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(FTzSaveSetInfo_1(session, &info), 0);
    _tagFTzSAVEGETDATACALLBACK_1 failing{[](uint32_t, uint32_t, _tagPTzCOLORCONVERTBUFFER*, void*) { return -9; },
                                         nullptr};
    EXPECT_EQ(FTzSaveSetCallBack_1(session, &failing), 0);
    EXPECT_EQ(FTzSave_1(session, nullptr), 0);
    EXPECT_EQ(FTzSave_1(session, nullptr), -9);
    // The plug-in's own codes pass through.
    EXPECT_EQ(FTzSaveSetInfo_1(session, nullptr), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzSaveEnd_1(session), 0);
}

TEST_F(SaveSession, StartFailuresAndNullSessions)
{
    int error = 0;
    EXPECT_EQ(FTzSaveStart_1(Reader(), stream, nullptr, &error), nullptr);
    EXPECT_EQ(error, FTzERR_NO_SAVE_ENTRY);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_SAVE_ENTRY);
    EXPECT_EQ(FTzSaveStart_1(nullptr, stream, nullptr, &error), nullptr);
    EXPECT_EQ(error, PTzERR_BAD_ARGUMENT);

    EXPECT_EQ(FTzSaveSetFormatSetting_1(nullptr, nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzSaveSetInfo_1(nullptr, &info), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzSaveSetCallBack_1(nullptr, nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzSave_1(nullptr, nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzSaveEnd_1(nullptr), FTzERR_BAD_HANDLE);
}

}  // namespace
