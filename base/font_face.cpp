// Making fonts: the record is put in order (terminated name, clamped height and
// weight), fontconfig picks the face, and the cell follows the height convention.
// Loading glyphs, from the faces that lend the characters the font's face lacks.
#include "font_face.h"

#include <ft2build.h>
#include FT_BBOX_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <string_view>

#include "error_codes.h"
#include "memory.h"
#include "utf_convert.h"

namespace corvane {

namespace {

constexpr size_t kNameUnits = 32;

// A name that is not valid UTF-16 cannot name an installed face: it asks for the
// default one.
std::string utf8Name(const PTzChar* name)
{
    char bytes[3 * kNameUnits + 1];
    size_t written = 0;
    if (utf16ToUtf8(std::u16string_view(name), bytes, sizeof bytes, &written) != UtfResult::Ok)
        return {};
    return std::string(bytes, written);
}

// The record names the face in use: the first of its names that fits, else the name
// asked for stays.
void nameInUse(const std::vector<std::string>& families, PTzChar* faceName)
{
    for (const std::string& family : families) {
        PTzChar units[kNameUnits];
        size_t written = 0;
        if (utf8ToUtf16(family, units, kNameUnits, &written) == UtfResult::Ok) {
            std::fill(std::copy_n(units, written, faceName), faceName + kNameUnits, PTzChar(0));
            return;
        }
    }
}

// Ascent and descent of the cell in design units: the Windows metrics of the OS/2
// table where the face has them, else the horizontal header's.
void designCell(FT_Face face, double* ascent, double* descent)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        *ascent = os2->usWinAscent;
        *descent = os2->usWinDescent;
        return;
    }
    *ascent = std::max<double>(face->ascender, 0);
    *descent = std::max<double>(-face->descender, 0);
    if (*ascent + *descent <= 0)
        *ascent = face->units_per_EM;
}

// Sets the face's size from the record's height and derives the cell and underline.
bool scale(_tagPTzFONT& font)
{
    FT_Face face = font.face.get();
    const double units = face->units_per_EM;
    if (units <= 0)
        return false;
    double up = 0, down = 0;
    designCell(face, &up, &down);
    const int32_t height = font.info.height;
    double em = 0;  // pixels
    if (height > 0) {
        em = height * units / (up + down);
        font.ascent = int32_t(std::lround(up * height / (up + down)));
        font.descent = height - font.ascent;
    } else {
        em = height < 0 ? -height : kDefaultEmPixels;
        font.ascent = int32_t(std::lround(up * em / units));
        font.descent = int32_t(std::lround(down * em / units));
    }
    // A face with a tiny cell must not blow a small height up into huge glyphs.
    em = std::clamp(em, 1.0, double(kMaxHeightPixels));
    font.emSize = FT_F26Dot6(std::lround(em * 64));
    if (FT_Set_Char_Size(face, 0, font.emSize, 72, 72) != 0)
        return false;

    // Without underline metrics, a stroke of 1/20 em centred 1/10 em below the baseline.
    const bool hasUnderline = face->underline_thickness > 0;
    const double thickness = hasUnderline ? face->underline_thickness : units / 20;
    const double centre = hasUnderline ? face->underline_position : -units / 10;
    const double pixelsPerUnit = em / units;
    font.underlineThickness = std::max(1, int32_t(std::lround(thickness * pixelsPerUnit)));
    font.underlineTop = int32_t(std::lround(-centre * pixelsPerUnit - font.underlineThickness / 2.0));
    return true;
}

// The face's own style, read from the font file: fontconfig's answer already counts
// the styles it expects the renderer to synthesise.
bool slanted(FT_Face face)
{
    return (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

int weightOf(FT_Face face)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000)
        return os2->usWeightClass;
    return (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
}

// The styles the face lacks for the record are synthesised.
void chooseSynthesis(const _tagPTzFONTDATAINFO& info, FT_Face face, bool* oblique, bool* bold)
{
    *oblique = info.italic && !slanted(face);
    *bold = info.weight >= 600 && weightOf(face) < 600;
}

// Characters that may come from another face: not controls, surrogates, noncharacters
// or values past Unicode, which keep the font's own missing-glyph box.
bool mayBorrow(char32_t codePoint)
{
    const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    const bool nonCharacter = (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
    return !control && !surrogate && !nonCharacter && codePoint <= 0x10FFFF;
}

// The index among the font's lenders of the face that lends the code point, opened and
// sized on first need; -1 when no face has it.
int openLender(_tagPTzFONT& font, char32_t codePoint)
{
    FaceSource source;
    if (!findLender(utf8Name(font.info.faceName), font.info.italic, font.info.weight, codePoint, &source))
        return -1;
    auto lender = std::find_if(font.lenders.begin(), font.lenders.end(), [&](const LentFace& lent) {
        return lent.source.file == source.file && lent.source.index == source.index;
    });
    if (lender == font.lenders.end()) {
        LentFace lent{source, openOutlineFace(source)};
        if (!lent.face || FT_Set_Char_Size(lent.face.get(), 0, font.emSize, 72, 72) != 0)
            return -1;
        chooseSynthesis(font.info, lent.face.get(), &lent.synthesiseOblique, &lent.synthesiseBold);
        font.lenders.push_back(std::move(lent));
        lender = font.lenders.end() - 1;
    }
    if (FT_Get_Char_Index(lender->face.get(), codePoint) == 0)
        return -1;
    return int(lender - font.lenders.begin());
}

// The face lending the code point, asked once per code point; null when none has it.
const LentFace* lenderFor(_tagPTzFONT& font, char32_t codePoint)
{
    try {
        auto known = font.lenderOf.find(codePoint);
        if (known == font.lenderOf.end())
            known = font.lenderOf.emplace(codePoint, openLender(font, codePoint)).first;
        return known->second < 0 ? nullptr : &font.lenders[size_t(known->second)];
    } catch (const std::bad_alloc&) {
        return nullptr;  // the missing-glyph box serves
    }
}

// Loads the glyph into the face's slot, reshaped by the synthetic styles.
bool loadStyled(FT_Face face, FT_UInt index, bool oblique, bool bold, Glyph* out)
{
    // Unhinted outlines keep the fractional advances and bearings that measuring
    // reports, and let the synthetic styles reshape them.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    *out = Glyph{slot};
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (oblique)
            FT_GlyphSlot_Oblique(slot);
        if (bold)
            FT_GlyphSlot_Embolden(slot);
        if (slot->outline.n_points > 0 && FT_Outline_Get_BBox(&slot->outline, &out->ink) == 0)
            out->hasInk = out->ink.xMin < out->ink.xMax && out->ink.yMin < out->ink.yMax;
    }
    if (!out->hasInk)
        out->ink = FT_BBox{};
    out->advance = slot->advance.x;
    return true;
}

void destroyFont(_tagPTzFONT* font)
{
    font->~_tagPTzFONT();
    PTzPointFree(font);
}

struct FontDestroyer {
    void operator()(_tagPTzFONT* font) const { destroyFont(font); }
};

}  // namespace

// Records come from files: the name gets a terminator (and nothing after it), height
// and weight are brought into range (height 0 keeps meaning the default size), and the
// flags become 0 or 1.
_tagPTzFONTDATAINFO orderly(const _tagPTzFONTDATAINFO& request)
{
    _tagPTzFONTDATAINFO info = request;
    PTzChar* end = std::find(info.faceName, info.faceName + kNameUnits - 1, PTzChar(0));
    std::fill(end, info.faceName + kNameUnits, PTzChar(0));
    info.height = int16_t(std::clamp<int32_t>(info.height, -kMaxHeightPixels, kMaxHeightPixels));
    info.italic = info.italic != 0;
    info.underline = info.underline != 0;
    info.weight = info.weight == 0 ? 400 : std::min<uint16_t>(info.weight, 1000);
    return info;
}

_tagPTzFONT* makeFont(const _tagPTzFONTDATAINFO& request, bool shared)
{
    const _tagPTzFONTDATAINFO info = orderly(request);
    FaceMatch match;
    if (!matchFace(utf8Name(info.faceName), info.italic, info.weight, &match)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    void* block = PTzPointNew(sizeof(_tagPTzFONT));
    if (!block)
        return nullptr;
    std::unique_ptr<_tagPTzFONT, FontDestroyer> font(new (block) _tagPTzFONT);
    font->info = info;
    nameInUse(match.families, font->info.faceName);
    font->face = std::move(match.face);
    chooseSynthesis(info, font->face.get(), &font->synthesiseOblique, &font->synthesiseBold);
    font->shared = shared;
    if (!scale(*font)) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    return font.release();
}

_tagPTzFONT* defaultFont()
{
    // Made after the FreeType library it uses, so destroyed before it at exit.
    static const std::unique_ptr<_tagPTzFONT, FontDestroyer> font(
        makeFont(_tagPTzFONTDATAINFO{{}, int16_t(-kDefaultEmPixels), 0, 0, 400}, true));
    return font.get();
}

void holdFont(_tagPTzFONT* font)
{
    if (!font->shared)
        font->holds.fetch_add(1, std::memory_order_relaxed);
}

void dropFont(_tagPTzFONT* font)
{
    if (!font->shared && font->holds.fetch_sub(1, std::memory_order_acq_rel) == 1)
        destroyFont(font);
}

bool loadGlyph(_tagPTzFONT& font, char32_t codePoint, Glyph* out)
{
    FT_Face face = font.face.get();
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0 && mayBorrow(codePoint)) {
        const LentFace* lender = lenderFor(font, codePoint);
        if (lender && loadStyled(lender->face.get(), FT_Get_Char_Index(lender->face.get(), codePoint),
                                 lender->synthesiseOblique, lender->synthesiseBold, out))
            return true;
    }
    return loadStyled(face, index, font.synthesiseOblique, font.synthesiseBold, out);
}

}  // namespace corvane
