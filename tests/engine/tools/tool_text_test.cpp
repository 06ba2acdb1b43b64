// The text tool: new layers from clicks, typing and deleting folded into one step, every
// record kind undone, redone and undone again, the editing ticket, and the image a
// converted text layer leaves behind.
#include "engine/tools/tool_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../picture/text_test_support.h"
#include "base/error_codes.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/pixels/layer_image_argb.h"
#include "engine/tools/tool_convert.h"

using namespace text_test;

namespace {

struct TextTool : ::testing::Test {
    ITzPicture picture;
    ITzToolText tool;
    _tagPTzFONTDATAINFO font = Sans(-20);
    _tagPTzCOLOR colour = Rgb(10, 20, 30);

    void SetUp() override { ASSERT_EQ(picture.Create_1(400, 300, nullptr), 0); }

    // A click at (20, 30) makes a text layer above the background, typed into when given.
    ITzLayerText& Start(std::u16string_view text = u"")
    {
        EXPECT_EQ(tool.OnMouseDown(At(PTzPOINT{20, 30}), &picture, 0), 1);
        EXPECT_EQ(tool.OnMouseUp(At(PTzPOINT{20, 30}), &picture), 1);
        for (char16_t c : text)
            tool.DoChar(&picture, &font, uint16_t(c), &colour);
        return Active();
    }
    ITzLayerText& Active()
    {
        auto* layer = dynamic_cast<ITzLayerText*>(picture.GetLayerbyIndex(picture.GetActiveLayerID()));
        EXPECT_NE(layer, nullptr);
        return *layer;
    }
    void Select(uint32_t anchor, uint32_t caret) { Active().SetSelectRange(anchor, caret); }
};

}  // namespace

TEST_F(TextTool, AClickOutsideTextMakesALayerThatUndoTakesOutAndRedoPutsBack)
{
    ITzLayerText& layer = Start();
    EXPECT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
    PTzRECT bounds;
    layer.GetBounds(&bounds);
    EXPECT_EQ(bounds.left, 20);
    EXPECT_EQ(bounds.top, 30);
    // An empty layer has no text to click into: a second click makes another layer.
    tool.OnMouseDown(At(PTzPOINT{20, 30}), &picture, 0);
    EXPECT_EQ(picture.GetLayerCount(), 3);
    ASSERT_NE(picture.DoUndo(), 0);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetLayerCount(), 1);
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_EQ(picture.GetLayerCount(), 2);
    EXPECT_EQ(picture.GetLayerbyIndex(1), &layer);
    EXPECT_EQ(picture.GetActiveLayerID(), 1);
}

TEST_F(TextTool, TypingOnIsOneStepAndBackspacesAreOneStepThatRestoresInOrder)
{
    ITzLayerText& layer = Start(u"abc");
    EXPECT_EQ(TextOf(layer), u"abc");
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"");
    ASSERT_NE(picture.DoRedo(), 0);
    EXPECT_EQ(TextOf(layer), u"abc");
    for (int i = 0; i < 3; ++i)
        tool.DoChar(&picture, &font, 8, &colour);
    EXPECT_EQ(TextOf(layer), u"");
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"abc");
    EXPECT_EQ(Shoot(layer).caret, 3u);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"");
}

TEST_F(TextTool, TypingStartsANewStepAfterACaretMoveAnUndoOrASave)
{
    ITzLayerText& layer = Start(u"ab");
    tool.DoDirectionKey(&picture, ITzKEY_LEFT, 0);
    tool.DoChar(&picture, &font, u'x', &colour);  // "axb": away from where typing ended
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"ab");
    tool.DoChar(&picture, &font, u'y', &colour);  // after an undo
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"ab");
    picture.ClearModified();  // a save frees the history
    tool.DoChar(&picture, &font, u'z', &colour);
    tool.DoChar(&picture, &font, u'w', &colour);
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"ab");
    EXPECT_EQ(picture.DoUndo(), 0);
}

TEST_F(TextTool, CaretKeysAndControlCharactersRecordNothing)
{
    ITzLayerText& layer = Start(u"ab");
    for (uint32_t key : {0x23u, 0x24u, 0x25u, 0x26u, 0x27u, 0x28u, 0x41u})
        EXPECT_EQ(tool.DoDirectionKey(&picture, key, 1), 0);
    for (uint16_t control : {0, 9, 10, 27, 31, 127})
        EXPECT_EQ(tool.DoChar(&picture, &font, control, &colour), 0);
    EXPECT_EQ(TextOf(layer), u"ab");
    EXPECT_EQ(tool.DoInput(&picture, &font, u"zz", 2), 1);
    ASSERT_NE(picture.DoUndo(), 0);  // the typing, nothing after it
    EXPECT_EQ(TextOf(layer), u"");
}

// Each edit, undone, redone and undone again: the undo gives the text before it back,
// the redo the text after it, and each call moves the history by one step only, so a
// second redo finds nothing to do.
TEST_F(TextTool, EveryRecordKindUndoesRedoesAndUndoesAgainExactly)
{
    _tagPTzFONTDATAINFO bold = font;
    bold.weight = 700;
    bold.italic = 1;
    _tagPTzFONTDATAINFO underlined = font;
    underlined.underline = 1;
    struct Case {
        const char* name;
        uint32_t anchor, caret;
        std::function<int(ITzToolText&, ITzPicture&)> edit;
    };
    const _tagPTzFONTDATAINFO& f = font;
    const _tagPTzCOLOR& c = colour;
    const Case cases[] = {
        {"typing", 2, 2, [&](ITzToolText& t, ITzPicture& p) { return t.DoChar(&p, &f, u'q', &c); }},
        {"typing over a selection", 1, 6, [&](ITzToolText& t, ITzPicture& p) { return t.DoChar(&p, &f, u'q', &c); }},
        {"row break", 2, 2, [&](ITzToolText& t, ITzPicture& p) { return t.DoChar(&p, &f, 13, &c); }},
        {"delete", 2, 2, [](ITzToolText& t, ITzPicture& p) { return t.DoDelete(&p, 0), 1; }},
        {"backspace", 2, 2, [](ITzToolText& t, ITzPicture& p) { return t.DoDelete(&p, 1), 1; }},
        {"backspace joining rows", 4, 4, [](ITzToolText& t, ITzPicture& p) { return t.DoDelete(&p, 1), 1; }},
        {"removal", 5, 1, [](ITzToolText& t, ITzPicture& p) { return t.DoDelete(&p, 0), 1; }},
        {"size", 0, 7, [&](ITzToolText& t, ITzPicture& p) { return t.DoSetFontSize(&p, At(Serif(-33))); }},
        {"name", 2, 6, [&](ITzToolText& t, ITzPicture& p) { return t.DoSetFontName(&p, At(Serif(-33))); }},
        {"style", 6, 1, [&](ITzToolText& t, ITzPicture& p) { return t.DoSetFontStyle(&p, &bold); }},
        {"underline", 1, 2, [&](ITzToolText& t, ITzPicture& p) { return t.DoSetFontUnderLine(&p, &underlined); }},
        {"colour", 0, 3, [](ITzToolText& t, ITzPicture& p) { return t.DoSetFontColor(&p, At(Rgb(200, 0, 0))); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ITzPicture fresh;
        ASSERT_EQ(fresh.Create_1(400, 300, nullptr), 0);
        ITzToolText editor;
        editor.OnMouseDown(At(PTzPOINT{5, 5}), &fresh, 0);
        for (char16_t ch : std::u16string(u"abc\rdefg"))
            editor.DoChar(&fresh, &font, uint16_t(ch), &colour);
        auto& layer = *dynamic_cast<ITzLayerText*>(fresh.GetLayerbyIndex(1));
        layer.SetSelectRange(test.anchor, test.caret);
        const TextShot before = Shoot(layer);
        ASSERT_NE(test.edit(editor, fresh), 0);
        const TextShot after = Shoot(layer);
        ASSERT_FALSE(after.characters == before.characters);
        ASSERT_NE(fresh.DoUndo(), 0);
        const TextShot undone = Shoot(layer);
        EXPECT_TRUE(undone.characters == before.characters);
        EXPECT_TRUE(PTzRectEqual(&undone.bounds, &before.bounds));
        ASSERT_NE(fresh.DoRedo(), 0);
        EXPECT_TRUE(Shoot(layer) == after);
        EXPECT_EQ(fresh.DoRedo(), 0);
        EXPECT_TRUE(Shoot(layer) == after);
        ASSERT_NE(fresh.DoUndo(), 0);
        EXPECT_TRUE(Shoot(layer) == undone);
        EXPECT_TRUE(Pixels(layer, false) == Pixels(layer, true));
        // One more undo takes the typing back, one more the layer itself.
        ASSERT_NE(fresh.DoUndo(), 0);
        EXPECT_EQ(layer.GetCharacterCount(), 0u);
        ASSERT_NE(fresh.DoUndo(), 0);
        EXPECT_EQ(fresh.GetLayerCount(), 1);
    }
}

TEST_F(TextTool, EditsThatChangeNothingLeaveNoStep)
{
    ITzLayerText& layer = Start(u"ab");
    Select(2, 2);
    EXPECT_EQ(tool.DoSetFontSize(&picture, At(Sans(-40))), 0);  // nothing selected
    Select(0, 2);
    EXPECT_EQ(tool.DoSetFontSize(&picture, &font), 0);  // the size they have
    EXPECT_EQ(tool.DoSetFontColor(&picture, &colour), 0);
    Select(2, 2);
    tool.DoDelete(&picture, 0);  // nothing after the caret
    ASSERT_NE(picture.DoUndo(), 0);
    EXPECT_EQ(TextOf(layer), u"");
}

TEST_F(TextTool, AFullStackRefusesTheNewLayerAndRecordsNothing)
{
    while (picture.GetLayerCount() < ITzPICTURE_MAX_LAYERS)
        ASSERT_EQ(picture.InsertLayer(picture.GetLayerCount(), new ITzLayerImageARGB()), 0);
    ITzLayerBase* top = picture.GetLayerbyIndex(ITzPICTURE_MAX_LAYERS - 1);
    EXPECT_EQ(tool.OnMouseDown(At(PTzPOINT{1, 1}), &picture, 0), 1);
    EXPECT_EQ(picture.GetLayerCount(), ITzPICTURE_MAX_LAYERS);
    EXPECT_EQ(picture.DoUndo(), 0);
    EXPECT_EQ(picture.GetLayerbyIndex(ITzPICTURE_MAX_LAYERS - 1), top);
}

TEST_F(TextTool, EveryEditHoldsTheTicketForItsCallOnly)
{
    ITzLayerText& layer = Start(u"abc");
    const std::function<void()> edits[] = {
        [&] { tool.DoChar(&picture, &font, u'x', &colour); },
        [&] { tool.DoDelete(&picture, 1); },
        [&] { tool.DoDirectionKey(&picture, ITzKEY_HOME, 0); },
        [&] { tool.OnMouseDown(At(PTzPOINT{22, 32}), &picture, 1); },
        [&] { tool.OnMouseMove(At(PTzPOINT{30, 32}), &picture); },
        [&] { tool.OnMouseUp(At(PTzPOINT{30, 32}), &picture); },
        [&] { tool.DoSetFontSize(&picture, At(Sans(-30))); },
        [&] { tool.DoSetFontColor(&picture, At(Rgb(1, 1, 1))); },
    };
    for (const auto& edit : edits) {
        Select(1, 3);
        uint32_t ticket = 0;
        ASSERT_EQ(picture.EditingStart(&ticket), 1);
        const TextShot held = Shoot(layer);
        const uint16_t layers = picture.GetLayerCount();
        edit();
        EXPECT_TRUE(Shoot(layer) == held);
        EXPECT_EQ(picture.GetLayerCount(), layers);
        ASSERT_EQ(picture.EditingStop(ticket), 1);
        edit();
        EXPECT_EQ(picture.AbleEditing(), 1);
    }
}

// The image a conversion takes is whole and stands alone: the history that held the text
// layer is freed (as a save does), and moving and drawing the image reads nothing freed.
TEST_F(TextTool, AConvertedImageOutlivesTheTextLayer)
{
    ITzLayerText& layer = Start(u"Converted\rtext");
    const std::vector<uint8_t> drawn = Pixels(layer, true);
    ASSERT_EQ(picture.ConvertLayerToImageLayer(1), 1);
    picture.ClearModified();
    auto* image = dynamic_cast<ITzLayerImageARGB*>(picture.GetLayerbyIndex(1));
    ASSERT_NE(image, nullptr);
    _tagPTzOFFSET offset = {300, 7};
    image->Move(&offset);
    _tagITzBLOCKINFOARGB record;
    for (uint32_t i = 0; i < image->GetBlockCount(); ++i)
        EXPECT_NE(image->GetBlockInfo(i, &record, 0), ITzERR_INVALID);
    PTzRECT bounds;
    image->GetLBounds(&bounds);
    std::vector<uint8_t> pixels(drawn.size());
    const int32_t width = bounds.right, height = bounds.bottom;
    _tagITzCHANNELBITMAP bitmap = {width, height, width, PTzCOLORMODE_ARGB, {}};
    for (int p = 0; p < 4; ++p)
        bitmap.planes[p] = pixels.data() + size_t(p) * width * height;
    image->GetRectChannelData(&bitmap, &bounds);
    EXPECT_TRUE(pixels == drawn);
    // The record of the conversion is gone with the text layer: the history is empty.
    EXPECT_EQ(picture.DoUndo(), 0);
}
