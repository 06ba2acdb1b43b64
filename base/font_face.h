// The font object behind _tagPTzFONT: a FreeType face at a pixel size with the cell
// metrics of the stored height convention, the faces that lend it the characters its own
// face lacks, and the glyph loading that measuring and rendering share. Private to Corvane.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "font.h"
#include "font_system.h"

namespace corvane {

// A face lending glyphs to a font at the font's em size, with the synthetic styles it
// needs to show the font's style.
struct LentFace {
    FaceSource source;
    FacePtr face;
    bool synthesiseOblique = false;
    bool synthesiseBold = false;
};

}  // namespace corvane

struct _tagPTzFONT {
    _tagPTzFONTDATAINFO info{};  // as made: terminated, clamped, naming the face in use
    corvane::FacePtr face;
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t underlineTop = 0;  // rows below the baseline (negative: above it)
    int32_t underlineThickness = 1;
    bool synthesiseOblique = false;
    bool synthesiseBold = false;
    FT_F26Dot6 emSize = 0;  // 26.6 pixels, the size lent faces are set to
    // Made on first need: the faces lending characters, and for each code point asked so
    // far the index of its lender, or -1 when none has it.
    std::vector<corvane::LentFace> lenders;
    std::unordered_map<char32_t, int> lenderOf;
    bool shared = false;  // the default font: holds are not counted
    std::atomic<uint32_t> holds{1};
    std::mutex lock;  // a FreeType face serves one thread at a time
};

namespace corvane {

// The em size a height of 0 stands for, and the largest height magnitude accepted.
constexpr int32_t kDefaultEmPixels = 12;
constexpr int32_t kMaxHeightPixels = 2048;

// A glyph loaded into the font's slot; valid until the next load on the same font.
struct Glyph {
    FT_GlyphSlot slot = nullptr;
    bool hasInk = false;
    FT_BBox ink{};       // 26.6 pixels from the origin, y up; all 0 without ink
    FT_Pos advance = 0;  // 26.6 pixels
};

// The record put in order: terminated name, clamped height and weight, flags 0 or 1.
_tagPTzFONTDATAINFO orderly(const _tagPTzFONTDATAINFO& request);

// One hold on the new font, or null (last error set).
_tagPTzFONT* makeFont(const _tagPTzFONTDATAINFO& request, bool shared);
// The shared default interface font, made on first use; null when none can be made.
_tagPTzFONT* defaultFont();
void holdFont(_tagPTzFONT* font);
void dropFont(_tagPTzFONT* font);

// Loads the code point's glyph as an outline with the synthetic styles applied. A
// printable character the font's face lacks comes from the face fontconfig names for it
// at the font's em size; with none, it is the font's own missing-glyph box. The caller
// holds font.lock. False when the face cannot load it.
bool loadGlyph(_tagPTzFONT& font, char32_t codePoint, Glyph* out);

// 26.6 to whole pixels, halves away from zero.
inline int64_t roundPixels(FT_Pos value)
{
    return value >= 0 ? (int64_t(value) + 32) >> 6 : -((32 - int64_t(value)) >> 6);
}

}  // namespace corvane
