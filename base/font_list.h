// The installed font families: PTzFontList keeps them sorted by face name, code unit by
// code unit, and PTzFontManager fills one from fontconfig.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "font.h"
#include "order_list.h"

// Items are _tagPTzFONTINFO records.
class CORVANE_API PTzFontList : public PTzOrderList {
public:
    PTzFontList();

    using PTzOrderList::CompareTwoItems;
    // Orders by face name; a name without a terminator ends after its 32 units.
    signed char CompareTwoItems(const void* first, const void* second) override;
};

class CORVANE_API PTzFontManager {
public:
    PTzFontManager() = default;
    virtual ~PTzFontManager();
    PTzFontManager(const PTzFontManager&) = delete;
    PTzFontManager& operator=(const PTzFontManager&) = delete;

    // Refills the list with every family of the installed outline fonts, each once,
    // leaving out names longer than 31 units: 1, or 0 (the list emptied) when fontconfig
    // or memory fails.
    int Init();

    uint32_t GetFontCount() const { return m_list.GetItemCount(); }
    // 1 and the index of the face named in info, or 0 and the index it would take.
    int FindFontIndex(const _tagPTzFONTINFO* info, uint32_t* index);
    // 0 and the item at index (the last one past the count), or an error code.
    int GetFontByIndex(uint32_t index, _tagPTzFONTINFO* out);
    // Enumeration in list order: Next gives 1 and a record, 0 once done.
    void* EnumFontStart();
    int EnumFontNext(void* handle, _tagPTzFONTINFO* out);
    void EnumFontEnd(void* handle);

private:
    PTzFontList m_list;
};
