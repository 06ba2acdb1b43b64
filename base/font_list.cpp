// The sorted family list and its filling from fontconfig: fontconfig reports a family
// once per font file and style, so each name is looked up before it is inserted.
#include "font_list.h"

#include "error_codes.h"
#include "font_system.h"
#include "utf_convert.h"

namespace {

constexpr uint32_t kNameUnits = 32;
constexpr uint8_t kGrowthShift = 8;

}  // namespace

PTzFontList::PTzFontList() : PTzOrderList(sizeof(_tagPTzFONTINFO), kGrowthShift) {}

signed char PTzFontList::CompareTwoItems(const void* first, const void* second)
{
    const PTzChar* a = static_cast<const _tagPTzFONTINFO*>(first)->faceName;
    const PTzChar* b = static_cast<const _tagPTzFONTINFO*>(second)->faceName;
    for (uint32_t i = 0; i < kNameUnits; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
        if (a[i] == 0)
            return 0;
    }
    return 0;
}

PTzFontManager::~PTzFontManager() = default;

int PTzFontManager::Init()
{
    if (m_list.GetItemCount() > 0)
        m_list.RemoveItemsByIndex(0, m_list.GetItemCount(), nullptr, 0);
    bool inserted = true;
    const bool listed = corvane::listFamilies([&](const char* family, bool trueType) {
        _tagPTzFONTINFO info{};
        size_t written = 0;
        // A name that does not fit the record could not be asked for again.
        if (corvane::utf8ToUtf16(family, info.faceName, kNameUnits, &written) != corvane::UtfResult::Ok)
            return;
        info.fontType = trueType ? PTzFONTTYPE_TRUETYPE : 0;
        if (inserted && !m_list.FindItemIndex(&info, nullptr))
            inserted = m_list.InsertItem(&info, sizeof info) == 0;
    });
    if (listed && inserted)
        return 1;
    if (m_list.GetItemCount() > 0)
        m_list.RemoveItemsByIndex(0, m_list.GetItemCount(), nullptr, 0);
    if (!listed)
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
    return 0;
}

int PTzFontManager::FindFontIndex(const _tagPTzFONTINFO* info, uint32_t* index)
{
    return m_list.FindItemIndex(info, index);
}

int PTzFontManager::GetFontByIndex(uint32_t index, _tagPTzFONTINFO* out)
{
    return m_list.GetItemByIndex(index, out, sizeof *out);
}

void* PTzFontManager::EnumFontStart()
{
    return m_list.EnumItemStart(0);
}

int PTzFontManager::EnumFontNext(void* handle, _tagPTzFONTINFO* out)
{
    return m_list.EnumItemNext(handle, out, sizeof *out);
}

void PTzFontManager::EnumFontEnd(void* handle)
{
    m_list.EnumItemEnd(handle);
}
