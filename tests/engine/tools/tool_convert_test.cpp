// The conversion tools: layers drawn through a rendered image give it up to an image
// layer in their place; 'autc' runs under the ticket of the edit that needs it, 'tolc'
// is a step of its own that undoing the next edit leaves alone.
#include "engine/tools/tool_convert.h"

#include <gtest/gtest.h>

#include "engine/tools/tool_floating_base.h"
#include "rendered_layer.h"
#include "tool_resize_test_support.h"

using namespace floating_test;
using namespace picture_job_test;

namespace {

// Two rendered layers around an image layer, the last one linked to the first.
void MakeConvertPicture(ITzPicture& picture)
{
    MakePicture(picture, 1, {0, 0, 400, 300});
    picture.InsertLayer(0, new RenderedLayer({10, 20, 300, 200}, 3));
    picture.InsertLayer(2, new RenderedLayer({50, 60, 390, 290}, 4));
    picture.GetLayerbyIndex(2)->SetLinkNumber(picture.GetLayerbyIndex(0)->GetLinkNumber());
    picture.GetLayerbyIndex(2)->Setvisibility(0);
}

TEST(Convert, AllLayersInOneStepThatUndoAndRedoExchange)
{
    ITzPicture picture;
    MakeConvertPicture(picture);
    const PictureShot before = Shoot(picture);
    ITzToolAutoConvert tool;
    ASSERT_EQ(ITzToolAutoConvert::ConvertAllLayers(&picture, &tool), 1);
    const PictureShot converted = Shoot(picture);
    for (uint16_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(picture.GetLayerbyIndex(i)->IsImageLayer());
        EXPECT_TRUE(converted.pixels[i] == before.pixels[i]);
        EXPECT_EQ(converted.links[i], before.links[i]);
    }
    EXPECT_EQ(picture.GetLayerbyIndex(2)->IsVisible(), 0);
    for (int round = 0; round < 2; ++round) {
        EXPECT_NE(picture.DoUndo(), 0);
        ExpectSame(Shoot(picture), before, true);
        EXPECT_NE(picture.DoRedo(), 0);
        ExpectSame(Shoot(picture), converted, false);
    }
}

TEST(Convert, NothingToConvertRecordsNothing)
{
    ITzPicture picture;
    MakePicture(picture, 2);
    picture.InsertLayer(2, new RenderedLayer({0, 0, 10, 10}, 1, false));  // no image to give
    ITzToolAutoConvert tool;
    EXPECT_EQ(ITzToolAutoConvert::ConvertAllLayers(&picture, &tool), 0);
    EXPECT_EQ(ITzToolAutoConvert::ConvertLayer(&tool, 2, &picture), 0);
    EXPECT_EQ(ITzToolAutoConvert::ConvertLayer(&tool, 9, &picture), 0);
    EXPECT_EQ(ITzToolAutoConvert::ConvertLayer(nullptr, 2, &picture), 0);
    EXPECT_EQ(ITzToolAutoConvert::ConvertAllLayers(nullptr, &tool), 0);
    EXPECT_EQ(picture.ConvertLayerToImageLayer(0), 0);  // an image layer already
    int converted = 7;
    EXPECT_EQ(picture.GetImageLayerConvert(2, &converted), nullptr);
    EXPECT_EQ(converted, 0);
    EXPECT_EQ(picture.GetImageLayerConvert(0, &converted), picture.GetLayerbyIndex(0));
    EXPECT_FALSE(HasUndoStep(picture));
}

// The explicit command takes a ticket of its own (refused while an edit runs); the
// conversion an edit needs runs under that edit's ticket.
TEST(Convert, OnlyTheCommandTakesATicket)
{
    ITzPicture picture;
    MakeConvertPicture(picture);
    uint32_t ticket = 0;
    ASSERT_EQ(picture.EditingStart(&ticket), 1);
    EXPECT_EQ(picture.ConvertLayerToImageLayer(0), 0);
    int converted = 0;
    EXPECT_NE(picture.GetImageLayerConvert(0, &converted), nullptr);
    EXPECT_EQ(converted, 1);
    EXPECT_EQ(picture.EditingStop(ticket), 1);
    EXPECT_EQ(picture.ConvertLayerToImageLayer(2), 1);
    EXPECT_EQ(picture.AbleEditing(), 1);
}

// A stroke after the Convert command: one undo takes the stroke back and keeps the
// conversion, which is a step of its own.
TEST(Convert, ConvertAStrokeAndOneUndoKeepsTheConversion)
{
    ITzPicture picture;
    MakeConvertPicture(picture);
    ASSERT_EQ(picture.ConvertLayerToImageLayer(2), 1);
    picture.SetActiveLayerID(2);
    ITzToolFloatingBase stroke;
    ASSERT_EQ(stroke.StartEditing(&picture), 1);
    ITzLayerImage* floating = stroke.CreateFloatingLayer(&picture);
    ASSERT_NE(floating, nullptr);
    Paint(floating);
    ASSERT_EQ(stroke.MergeFloatingLayer(&picture), 1);
    stroke.StopEditing(&picture);
    EXPECT_NE(picture.DoUndo(), 0);
    EXPECT_TRUE(picture.GetLayerbyIndex(2)->IsImageLayer());
    EXPECT_NE(picture.DoUndo(), 0);
    EXPECT_FALSE(picture.GetLayerbyIndex(2)->IsImageLayer());
}

}  // namespace
