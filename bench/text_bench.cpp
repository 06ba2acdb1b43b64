// Text layers: drawing the rendered image of a 5,000-character layer (every block drawn
// again from the rows, the glyph images already made) against Corvane's own rendering
// of the same text in the same font into one 8-bit bitmap in the same run; and native
// loads of a text layer of 10,000 and of 100,000 characters from memory, whose times
// should grow with the text, not with its square. Figures are characters a second. And
// a font made from its record against fontconfig's match and FreeType's open of its face.
#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <vector>

#include "base/font.h"
#include "base/font_render.h"
#include "base/io_stream.h"
#include "base/mem_stream.h"
#include "engine/picture/layer_text.h"
#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "engine/picture/picture.h"
#include "engine/picture/text_manager.h"
#include "engine/picture/text_row_builder.h"
#include "engine/pixels/layer_image_argb.h"

namespace {

constexpr int kRowLength = 100;  // characters of a row, its break included

_tagPTzFONTDATAINFO Font()
{
    _tagPTzFONTDATAINFO font = {};
    const std::u16string face = u"DejaVu Sans";
    face.copy(reinterpret_cast<char16_t*>(font.faceName), face.size());
    font.height = -16;
    font.weight = 400;
    return font;
}

// A text of `count` characters in rows of kRowLength, each ended by a row break.
std::u16string Text(int count)
{
    const std::u16string words = u"The quick brown fox jumps over the lazy dog; 0123456789 pack my box with five dozen jugs. ";
    std::u16string text;
    for (int i = 0; i < count; ++i)
        text += (i + 1) % kRowLength == 0 ? char16_t(13) : words[size_t(i) % words.size()];
    return text;
}

// A picture holding one text layer of the text, laid out once.
std::unique_ptr<ITzPicture> TextPicture(const std::u16string& text)
{
    auto picture = std::make_unique<ITzPicture>();
    picture->Create(2000, 2000);
    ITzTextManager* manager = picture->GetTextManager();
    const PTzPOINT start = {0, 0};
    auto* layer = new ITzLayerText(manager, &start);
    picture->InsertLayer(0, layer);
    const _tagPTzFONTDATAINFO font = Font();
    ITzTextRowBuilder rows(0);
    for (char16_t c : text)
        rows.Add({{PTzCOLORMODE_RGB, 0, {20, 30, 40}}, manager->GetCharacter(&font, uint16_t(c))});
    layer->LoadText(rows);
    return picture;
}

void TextLayerImage(benchmark::State& state)
{
    const std::u16string text = Text(5000);
    std::unique_ptr<ITzPicture> picture = TextPicture(text);
    auto* layer = static_cast<ITzLayerText*>(picture->GetLayerbyIndex(0));
    auto* image = static_cast<ITzLayerImageARGBPreview*>(layer->GetPreviewLayer());
    PTzRECT whole;
    layer->GetLBounds(&whole);
    image->DrawMissingBlocks();  // the glyph images are made once, here
    for (auto _ : state) {
        layer->InvalidatePreviewRect(&whole);
        if (!image->DrawMissingBlocks())
            state.SkipWithError("a block could not be drawn");
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
    state.counters["width"] = whole.right;
    state.counters["height"] = whole.bottom;
}

// The peer: the same text and font rendered into one bitmap the size of the layer.
void PlainRendering(benchmark::State& state)
{
    const std::u16string text = Text(5000);
    std::unique_ptr<ITzPicture> picture = TextPicture(text);
    PTzRECT whole;
    picture->GetLayerbyIndex(0)->GetLBounds(&whole);
    std::vector<uint8_t> pixels(size_t(whole.right) * size_t(whole.bottom));
    _tagPTzBITMAP_8 bitmap = {whole.right, whole.bottom, whole.right, pixels.data()};
    _tagPTzTEXTSTRINGDATA data = {Font(), {}, reinterpret_cast<const PTzChar*>(text.data()), uint32_t(text.size())};
    for (auto _ : state) {
        if (!PTzDrawTextToBitmap(&bitmap, &data))
            state.SkipWithError("the text could not be rendered");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(text.size()));
}

struct Appender {
    std::vector<uint8_t> bytes;
    _tagPTzIOSTREAM stream{this, nullptr, nullptr, &Write, nullptr};

    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        auto& bytes = static_cast<Appender*>(context)->bytes;
        const auto* from = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), from, from + count);
        return count;
    }
};

void NativeTextLoad(benchmark::State& state)
{
    const int count = int(state.range(0));
    Appender file;
    {
        std::unique_ptr<ITzPicture> picture = TextPicture(Text(count));
        lumatra::native::PictureWriter writer(picture.get(), &file.stream);
        while (writer.Step()) {
        }
        if (!writer.Finished())
            state.SkipWithError("the file could not be written");
    }
    for (auto _ : state) {
        _tagPTzIOSTREAM* stream = PTzCreateMemStream(file.bytes.data(), uint32_t(file.bytes.size()));
        std::unique_ptr<ITzPicture> loaded;
        {
            lumatra::native::PictureReader reader(stream);
            while (reader.Step()) {
            }
            loaded.reset(reader.TakePicture());
        }
        PTzDestoryMemStream(stream);
        if (!loaded)
            state.SkipWithError("the file could not be read");
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// A font made from its record, as every picture's text makes each of its fonts: the face
// fontconfig chose for the record before is opened again.
void FontMake(benchmark::State& state)
{
    const _tagPTzFONTDATAINFO font = Font();
    for (auto _ : state) {
        int32_t ascent = 0, descent = 0;
        if (!PTzFontYInfoByFontInfo(&font, &ascent, &descent))
            state.SkipWithError("the font could not be made");
        benchmark::DoNotOptimize(ascent);
    }
}

// The peer: fontconfig asked for the same face, which FreeType opens.
void FontconfigMatchAndOpen(benchmark::State& state)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        state.SkipWithError("no FreeType");
    for (auto _ : state) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(400));
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* file = nullptr;
        FT_Face face = nullptr;
        if (!match || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch ||
            FT_New_Face(library, reinterpret_cast<const char*>(file), 0, &face) != 0)
            state.SkipWithError("no face");
        FT_Done_Face(face);
        FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FT_Done_FreeType(library);
}

}  // namespace

BENCHMARK(FontMake);
BENCHMARK(FontconfigMatchAndOpen);
BENCHMARK(TextLayerImage)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainRendering)->Unit(benchmark::kMillisecond);
BENCHMARK(NativeTextLoad)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
