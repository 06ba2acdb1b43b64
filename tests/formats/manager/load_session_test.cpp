// Stepwise loads through the fake reader, whose 1-bit rows arrive four to a call: rows
// untouched or converted to 24 bits one at a time, a callback that stops the load, a
// row buffer that cannot be had, and the codes of the session calls.
#include "formats/manager/load_session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/error_codes.h"
#include "base/file_stream.h"
#include "base/memory_test_hooks.h"
#include "tests/formats/manager/plugin_folder.h"

namespace {

constexpr int32_t Width = 10;
constexpr int32_t Height = 10;
const uint8_t Colours[2][3] = {{10, 20, 30}, {200, 100, 50}};

bool Lit(int32_t x, int32_t y)
{
    return (x + y) % 3 == 0;
}

struct Delivery {
    uint32_t row;
    uint32_t rows;
    int32_t stride;
    uint8_t bits;
    std::vector<uint8_t> bytes;  // the first row's
};

// Records every delivery; answers stopValue once the given row has arrived.
struct Receiver {
    std::vector<Delivery> deliveries;
    uint32_t stopRow = UINT32_MAX;
    int stopValue = 0;

    _tagFTzGETDATACALLBACK_1 Callback()
    {
        return {[](uint32_t row, uint32_t rows, _tagPTzCOLORCONVERTBUFFER* data, void* user) {
                    auto* self = static_cast<Receiver*>(user);
                    const uint32_t bytes = (uint32_t(data->width) * data->bits + 7) / 8;
                    self->deliveries.push_back({row, rows, data->stride, data->bits, {data->data, data->data + bytes}});
                    return row + rows > self->stopRow ? self->stopValue : 0;
                },
                this};
    }
};

class LoadSession : public PlugInFolder {
protected:
    void SetUp() override
    {
        PlugInFolder::SetUp();
        std::string bytes("FAKE\x0a\0\0\0\x0a\0\0\0", 12);
        for (int32_t y = 0; y < Height; ++y) {
            uint8_t row[2] = {};
            for (int32_t x = 0; x < Width; ++x)
                row[x / 8] |= Lit(x, y) ? uint8_t(0x80 >> (x % 8)) : 0;
            bytes.append(reinterpret_cast<char*>(row), 2);
        }
        folder.Write("pic.fak", bytes);
        const _tagPTzFILE file = folder.Record("pic.fak");
        stream = PTzFileStreamCreate_1(&file, 2, PTzFILESTREAM_WINDOW);
        ASSERT_NE(stream, nullptr);
    }
    void TearDown() override
    {
        PTzFileStreamDestory(stream);
        PlugInFolder::TearDown();
    }

    // A started session whose information has been read.
    void* Start()
    {
        int error = -1;
        void* session = FTzLoadStart_1(Reader(), stream, nullptr, &error);
        EXPECT_NE(session, nullptr);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(FTzLoadGetInfo_1(session, &info), 0);
        return session;
    }

    // Steps until the load is over: the last step's result.
    static int Run(void* session, uint8_t* percent)
    {
        int result = 0;
        for (int step = 0; step < 100 && result == 0; ++step)
            result = FTzLoading_1(session, percent);
        return result;
    }

    _tagPTzIOSTREAM* stream = nullptr;
    _tagFTzIMAGEINFO_1 info{};
};

TEST_F(LoadSession, ConvertsOneBitRowsTo24BitOneRowAtATime)
{
    void* session = Start();
    EXPECT_EQ(info.width, Width);
    EXPECT_EQ(info.bits, 1);
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    Receiver receiver;
    _tagFTzGETDATACALLBACK_1 callback = receiver.Callback();
    ASSERT_EQ(FTzLoadSetDataCallBack_1(session, &callback), 0);
    uint8_t percent = 0;
    EXPECT_EQ(Run(session, &percent), FTzSTEP_FINISHED);
    EXPECT_EQ(percent, 100);
    ASSERT_EQ(receiver.deliveries.size(), size_t(Height));
    for (int32_t y = 0; y < Height; ++y) {
        const Delivery& delivery = receiver.deliveries[y];
        EXPECT_EQ(delivery.row, uint32_t(y));
        EXPECT_EQ(delivery.rows, 1u);
        EXPECT_EQ(delivery.bits, 24);
        EXPECT_EQ(delivery.stride, 32);
        for (int32_t x = 0; x < Width; ++x) {
            const uint8_t* expected = Colours[Lit(x, y) ? 1 : 0];
            EXPECT_EQ(std::vector<uint8_t>(delivery.bytes.begin() + 3 * x, delivery.bytes.begin() + 3 * x + 3),
                      std::vector<uint8_t>(expected, expected + 3))
                << x << ", " << y;
        }
    }
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

TEST_F(LoadSession, RowsArriveUntouchedWithoutConversionOrInTheFilesOwnMode)
{
    for (const bool askOwnMode : {false, true}) {
        void* session = Start();
        if (askOwnMode) {
            ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 1), 0);
        }
        Receiver receiver;
        _tagFTzGETDATACALLBACK_1 callback = receiver.Callback();
        ASSERT_EQ(FTzLoadSetDataCallBack_1(session, &callback), 0);
        EXPECT_EQ(Run(session, nullptr), FTzSTEP_FINISHED);
        ASSERT_EQ(receiver.deliveries.size(), 3u);
        EXPECT_EQ(receiver.deliveries[1].row, 4u);
        EXPECT_EQ(receiver.deliveries[1].rows, 4u);
        EXPECT_EQ(receiver.deliveries[1].bits, 1);
        EXPECT_EQ(receiver.deliveries[2].rows, 2u);
        EXPECT_EQ(FTzLoadEnd_1(session), 0);
        PTzIOStreamSeek(stream, 0, 0);
    }
}

TEST_F(LoadSession, ACallbackStopsTheDeliveryAtItsRow)
{
    void* session = Start();
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    Receiver receiver;
    receiver.stopRow = 5;
    receiver.stopValue = 77;
    _tagFTzGETDATACALLBACK_1 callback = receiver.Callback();
    ASSERT_EQ(FTzLoadSetDataCallBack_1(session, &callback), 0);
    EXPECT_EQ(FTzLoading_1(session, nullptr), 0);
    EXPECT_EQ(FTzLoading_1(session, nullptr), 77);
    ASSERT_EQ(receiver.deliveries.size(), 6u);
    EXPECT_EQ(receiver.deliveries.back().row, 5u);
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

TEST_F(LoadSession, ARowBufferThatCannotBeHadFailsTheStep)
{
    void* session = Start();
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    Receiver receiver;
    _tagFTzGETDATACALLBACK_1 callback = receiver.Callback();
    ASSERT_EQ(FTzLoadSetDataCallBack_1(session, &callback), 0);
    PTzTestSetAllocationCountdown(0);
    const int result = FTzLoading_1(session, nullptr);
    PTzTestSetAllocationCountdown(-1);
    EXPECT_EQ(result, PTzERR_OUT_OF_MEMORY);
    EXPECT_TRUE(receiver.deliveries.empty());
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

TEST_F(LoadSession, ARefusedColourModeKeepsTheEarlierRequest)
{
    void* session = Start();
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    EXPECT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_GRAY, 8), PTzERR_COLOR_UNSUPPORTED);
    Receiver receiver;
    _tagFTzGETDATACALLBACK_1 callback = receiver.Callback();
    ASSERT_EQ(FTzLoadSetDataCallBack_1(session, &callback), 0);
    EXPECT_EQ(Run(session, nullptr), FTzSTEP_FINISHED);
    ASSERT_EQ(receiver.deliveries.size(), size_t(Height));
    EXPECT_EQ(receiver.deliveries[0].bits, 24);
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

TEST_F(LoadSession, TheSettingAwareStartFallsBackToThePlainOne)
{
    int32_t setting = 7;
    int error = -1;
    void* session = FTzLoadStart_1V1(Reader(), stream, nullptr, &setting, &error);
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(FTzLoadGetInfo_1(session, &info), 0);
    EXPECT_EQ(info.xPelsPerMeter, 7);
    EXPECT_EQ(FTzLoadEnd_1(session), 0);

    session = FTzLoadStart_1V1(Reader(), stream, nullptr, nullptr, &error);
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(FTzLoadGetInfo_1(session, &info), 0);
    EXPECT_EQ(info.xPelsPerMeter, 0);
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

TEST_F(LoadSession, StartFailures)
{
    int error = 0;
    EXPECT_EQ(FTzLoadStart_1(Writer(), stream, nullptr, &error), nullptr);
    EXPECT_EQ(error, FTzERR_NO_READ_ENTRY);
    EXPECT_EQ(PTzGetLastError(), FTzERR_NO_READ_ENTRY);
    EXPECT_EQ(FTzLoadStart_1V1(nullptr, stream, nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(error, FTzERR_BAD_HANDLE);
    folder.Write("junk.fak", "JUNK");
    const _tagPTzFILE junk = folder.Record("junk.fak");
    _tagPTzIOSTREAM* junkStream = PTzFileStreamCreate_1(&junk, 2, PTzFILESTREAM_WINDOW);
    EXPECT_EQ(FTzLoadStart_1(Reader(), junkStream, nullptr, &error), nullptr);
    EXPECT_EQ(error, FTzERR_BAD_DATA);
    PTzFileStreamDestory(junkStream);
}

TEST_F(LoadSession, NullSessionsAndCallsOutOfOrder)
{
    EXPECT_EQ(FTzLoadGetInfo_1(nullptr, &info), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzLoadSetColorMode_1(nullptr, PTzCOLORMODE_RGB, 24), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzLoadSetDataCallBack_1(nullptr, nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzLoading_1(nullptr, nullptr), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzLoadEnd_1(nullptr), 0);

    int error = 0;
    void* session = FTzLoadStart_1(Reader(), stream, nullptr, &error);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), FTzERR_BAD_HANDLE);
    EXPECT_EQ(FTzLoadGetInfo_1(session, nullptr), FTzERR_BAD_HANDLE);
    ASSERT_EQ(FTzLoadGetInfo_1(session, &info), 0);
    ASSERT_EQ(FTzLoadSetColorMode_1(session, PTzCOLORMODE_RGB, 24), 0);
    EXPECT_EQ(FTzLoadSetDataCallBack_1(session, nullptr), PTzERR_BAD_ARGUMENT);
    EXPECT_EQ(FTzLoadEnd_1(session), 0);
}

}  // namespace
