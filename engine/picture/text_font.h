// ITzTextFont, one font of a picture's text: the font record (as the font functions take
// it), its cell, and the font object that measures and draws its glyphs, made on first
// use. ITzTextFontList holds them sorted and shared, one per distinct record; its order
// is the order of the native file's font table.
#pragma once

#include <cstdint>

#include "base/font.h"
#include "base/reference_list.h"
#include "engine/lumatra_export.h"

class LUMATRA_API ITzTextFont : public PTzReferenceBase {
public:
    ITzTextFont() = default;
    ~ITzTextFont() override;

    // Takes a _tagPTzFONTDATAINFO, put in order (PTzOrderFontInfo): nonzero, 0 for null.
    int SetBuildData(const void* data) override;
    // By height, italic (set first), weight, underline, then face name.
    signed char CompareTo(const PTzReferenceBase* other) const override;

    const _tagPTzFONTDATAINFO& GetInfo() const { return m_info; }
    // The font object, made on first use: null when no font can be made of the record.
    _tagPTzFONT* GetFont();
    // The cell above and below the baseline in pixels (0 when no font can be made).
    int32_t GetAscent();
    int32_t GetDescent();

private:
    // Makes the font object and its cell once: true when there is a font.
    bool Make();

    _tagPTzFONTDATAINFO m_info{};
    int32_t m_ascent = 0;
    int32_t m_descent = 0;
    _tagPTzFONT* m_font = nullptr;  // one hold, given back by the destructor
    bool m_tried = false;
};

class LUMATRA_API ITzTextFontList : public PTzReferenceListBase {
public:
    ITzTextFontList() = default;
    ~ITzTextFontList() override;

    PTzReferenceBase* NewItem() override;

    // The shared font of the record, with one more holder: null for null or when memory
    // is short. Give it back with Release.
    ITzTextFont* GetFont(const _tagPTzFONTDATAINFO* info);
    // Drops one holder of a font of this list.
    void Release(ITzTextFont* font) { ReleaseItem(font); }
    // The index of a listed font, which the native file's characters name: true when listed.
    bool IndexOf(const ITzTextFont* font, uint32_t* index);
    ITzTextFont* FontAt(uint32_t index);
};
