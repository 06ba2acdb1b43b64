// The tools' option records as the settings file keeps them: golden bytes of each layout,
// the short, long and mistyped records that leave defaults field by field, values that
// go through the setters, and a round trip through the settings file between two runs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/shell/settings_store.h"
#include "app/ui/tool_brush_kinds.h"
#include "app/ui/tool_bucket.h"
#include "app/ui/tool_clone.h"
#include "app/ui/tool_gradient.h"
#include "app/ui/tool_magic.h"
#include "app/ui/tool_manager.h"
#include "app/ui/tool_move.h"
#include "app/ui/tool_option_records.h"

namespace {

using namespace tool_id;
using Bytes = std::vector<uint8_t>;

Bytes Stored(uint32_t id, uint32_t* type = nullptr)
{
    uint8_t data[400] = {};
    uint32_t readType = quorvel::REG_BINARY;
    uint32_t size = sizeof(data);
    const std::u16string name = CToolBase::OptionValueName(id);
    if (!ReadAppSetting(name.c_str(), &readType, data, &size))
        return {};
    if (type)
        *type = readType;
    return Bytes(data, data + size);
}

void Store(uint32_t id, const Bytes& bytes, uint32_t type = quorvel::REG_BINARY)
{
    const std::u16string name = CToolBase::OptionValueName(id);
    ASSERT_TRUE(WriteAppSetting(name.c_str(), type, bytes.data(), uint32_t(bytes.size())));
}

template <typename Tool>
Tool& Find(CToolManager& manager, uint32_t id)
{
    return *static_cast<Tool*>(manager.FindTool(id));
}

class OptionRecords : public ::testing::Test {
protected:
    void SetUp() override { quorvel::AppSettings().Wipe(); }
};

TEST_F(OptionRecords, EachToolWritesItsLayoutLittleEndianAndTheRestWriteNothing)
{
    {
        CToolManager manager;
        auto& pen = Find<CTool_Pen>(manager, PEN);
        pen.SetBrushIndex(0x0A0B0C0D);
        pen.SetHoldingSupport(0x11223344);
        pen.SetOpacity(0x80);
        pen.SetPress(0x40);
        Find<CTool_Gradient>(manager, GRAD).SetType(1);
        Find<CTool_Gradient>(manager, GRAD).SetOpacity(0x80);
        Find<CTool_Magic>(manager, MAGC).SetContiguous(0x01020304);
        Find<CTool_Bucket>(manager, BUCT).SetTolerance(90);
        Find<CTool_Move>(manager, MOVE).SetCopy(1);
    }
    EXPECT_EQ(Stored(PEN), (Bytes{0x0D, 0x0C, 0x0B, 0x0A, 3, 0, 0, 0, 0x80, 0x40, 0x44, 0x33, 0x22, 0x11, 0}));
    EXPECT_EQ(Stored(ERAS), (Bytes{5, 0, 0, 0, 8, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Stored(CLON), (Bytes{5, 0, 0, 0, 3, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Stored(BLUR), (Bytes{5, 0, 0, 0, 3, 0, 0, 0, 255, 255, 0, 0, 0, 0, 50}));
    EXPECT_EQ(Stored(SMDG), (Bytes{4, 0, 0, 0, 3, 0, 0, 0, 255, 255, 0, 0, 0, 0, 50}));
    EXPECT_EQ(Stored(GRAD), (Bytes{1, 0, 0, 0, 0x80}));
    EXPECT_EQ(Stored(MAGC), (Bytes{32, 4, 3, 2, 1}));
    for (uint32_t none : {MOVE, MAGR, MACI, MAGM, PAN, ZOOM, EYED, LASF, BUCT})
        EXPECT_TRUE(Stored(none).empty()) << std::hex << none;
}

TEST_F(OptionRecords, ShortMistypedAndOversizedRecordsLeaveTheDefaultsFieldByField)
{
    // Clone: 15 bytes set the brush fields, aligned keeps its default. Eraser: a tail of
    // three bytes is no erase mode. Pencil: 14 bytes are no record; Pen: 21 do not fit.
    Store(CLON, {7, 0, 0, 0, 3, 0, 0, 0, 10, 20, 1, 0, 0, 0, 0});
    Store(ERAS, {5, 0, 0, 0, 8, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0});
    Store(PENC, {9, 0, 0, 0, 3, 0, 0, 0, 10, 20, 1, 0, 0, 0});
    Store(PEN, Bytes(21, 1));
    // Gradient: 3 bytes hold the opacity alone; wand: 1 byte the tolerance alone.
    Store(GRAD, {0x40, 1, 1});
    Store(MAGC, {77});
    // Another type than binary, and a record larger than any tool's.
    Store(BLUR, {5, 0, 0, 0, 3, 0, 0, 0, 1, 1, 0, 0, 0, 0, 10}, quorvel::REG_DWORD + 10);
    Store(SHAP, Bytes(201, 2));
    CToolManager manager;
    manager.LoadSettings(1);

    auto& clone = Find<CTool_Clone>(manager, CLON);
    EXPECT_EQ(clone.GetBrushIndex(), 7u);
    EXPECT_EQ(clone.GetOpacity(), 10);
    EXPECT_EQ(clone.GetPress(), 20);
    EXPECT_EQ(clone.GetHoldingSupport(), 1u);
    EXPECT_EQ(clone.GetAligned(), 1u);
    EXPECT_EQ(Find<CTool_Erase>(manager, ERAS).GetEraseMode(), 1u);
    EXPECT_EQ(Find<CTool_Pencil>(manager, PENC).GetOpacity(), 255);
    EXPECT_EQ(Find<CTool_Pen>(manager, PEN).GetBrushIndex(), 5u);
    EXPECT_EQ(Find<CTool_Gradient>(manager, GRAD).GetType(), 0u);
    EXPECT_EQ(Find<CTool_Gradient>(manager, GRAD).GetOpacity(), 0x40);
    EXPECT_EQ(Find<CTool_Magic>(manager, MAGC).GetTolerance(), 77);
    EXPECT_EQ(Find<CTool_Magic>(manager, MAGC).GetContiguous(), 1u);
    EXPECT_EQ(Find<CTool_Blur>(manager, BLUR).GetOpacity(), 255);
    EXPECT_EQ(Find<CTool_Sharp>(manager, SHAP).GetOpacity(), 255);

    // 4 gradient bytes: the type, the opacity left alone.
    uint32_t type = 0;
    uint8_t opacity = 255;
    const uint8_t four[] = {1, 0, 0, 0};
    DecodeGradientRecord(four, 4, &type, &opacity);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(opacity, 255);
}

TEST_F(OptionRecords, LoadedValuesGoThroughTheSetters)
{
    // Strength 200 %, paint mode 99 and erase mode 7; gradient type 9 is kept but paints
    // nothing (the gradient's tests).
    Store(BLUR, {5, 0, 0, 0, 99, 0, 0, 0, 255, 255, 0, 0, 0, 0, 200});
    Store(ERAS, {5, 0, 0, 0, 8, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 7, 0, 0, 0});
    CToolManager manager;
    manager.LoadSettings(1);
    auto& blur = Find<CTool_Blur>(manager, BLUR);
    EXPECT_EQ(blur.GetStrength(), 100);
    EXPECT_EQ(blur.GetEngineStrength(), 255);
    EXPECT_EQ(blur.GetPaintMode(), 3u);
    EXPECT_EQ(Find<CTool_Erase>(manager, ERAS).GetEraseMode(), 1u);
    EXPECT_EQ(Find<CTool_Blur>(manager, BLUR).GetEngineStrength(), 255);
    CTool_Sharp fresh;
    EXPECT_EQ(fresh.GetEngineStrength(), 128) << "50 % as the engine takes it";
}

TEST_F(OptionRecords, OptionsSurviveARestart)
{
    {
        CToolManager manager;
        auto& erase = Find<CTool_Erase>(manager, ERAS);
        erase.SetEraseMode(0);
        erase.SetOpacity(99);
        Find<CTool_Clone>(manager, CLON).SetAligned(0);
        Find<CTool_Smudge>(manager, SMDG).SetStrength(75);
        Find<CTool_Gradient>(manager, GRAD).SetType(1);
        Find<CTool_Magic>(manager, MAGC).SetTolerance(5);
        Find<CTool_Magic>(manager, MAGC).SetContiguous(0);
        Find<CTool_Bucket>(manager, BUCT).SetTolerance(90);
    }
    CToolManager manager;
    manager.LoadSettings(1);
    EXPECT_EQ(Find<CTool_Erase>(manager, ERAS).GetEraseMode(), 0u);
    EXPECT_EQ(Find<CTool_Erase>(manager, ERAS).GetPaintMode(), 3u);
    EXPECT_EQ(Find<CTool_Erase>(manager, ERAS).GetOpacity(), 99);
    EXPECT_EQ(Find<CTool_Clone>(manager, CLON).GetAligned(), 0u);
    EXPECT_EQ(Find<CTool_Smudge>(manager, SMDG).GetStrength(), 75);
    EXPECT_EQ(Find<CTool_Gradient>(manager, GRAD).GetType(), 1u);
    EXPECT_EQ(Find<CTool_Magic>(manager, MAGC).GetTolerance(), 5);
    EXPECT_EQ(Find<CTool_Magic>(manager, MAGC).GetContiguous(), 0u);
    EXPECT_EQ(Find<CTool_Bucket>(manager, BUCT).GetTolerance(), 32) << "the bucket starts afresh";
}

TEST(TextRecord, GoldenBytesAndTheRecordsThatHoldPartOfIt)
{
    _tagPTzFONTDATAINFO font = {};
    font.faceName[0] = u'A';
    font.faceName[1] = u'b';
    font.height = -12;
    font.italic = 1;
    font.weight = 700;
    const _tagPTzCOLOR colour = {PTzCOLORMODE_RGB, 0, {10, 20, 30, 0, 0, 0, 0}};
    uint8_t out[kToolOptionsMaxBytes] = {};
    ASSERT_EQ(EncodeTextRecord(font, colour, out, sizeof(out)), 82u);
    Bytes golden(82, 0);
    golden[0] = 'A';
    golden[2] = 'b';
    golden[64] = 0xF4;
    golden[65] = 0xFF;
    golden[66] = 1;
    golden[68] = 0xBC;
    golden[69] = 0x02;
    golden[70] = 1;
    golden[75] = 10;
    golden[76] = 20;
    golden[77] = 30;
    EXPECT_EQ(Bytes(out, out + 82), golden);

    _tagPTzFONTDATAINFO read = {};
    _tagPTzCOLOR readColour = {};
    DecodeTextRecord(golden.data(), 82, &read, &readColour);
    EXPECT_EQ(std::memcmp(&read, &font, sizeof(font)), 0);
    EXPECT_EQ(std::memcmp(&readColour, &colour, sizeof(colour)), 0);

    // Shorter than the font, at least a colour: the colour alone, from byte 0.
    _tagPTzFONTDATAINFO untouched = {};
    untouched.height = 9;
    DecodeTextRecord(golden.data() + 70, 12, &untouched, &readColour);
    EXPECT_EQ(untouched.height, 9);
    EXPECT_EQ(readColour.components[2], 30);
    // A face name without its terminator ends within its 32 units.
    Bytes unterminated(70, 'x');
    DecodeTextRecord(unterminated.data(), 70, &read, &readColour);
    EXPECT_EQ(read.faceName[30], u'x' | u'x' << 8);
    EXPECT_EQ(read.faceName[31], 0);
}

}  // namespace
