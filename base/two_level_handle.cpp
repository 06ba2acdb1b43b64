// Two_Level_Data, the paged store behind the two-level handle list, and the exported
// functions that reach it. Item i lives in page i >> shift at slot i & mask. The
// directory of pages grows with the pages it holds, up to one entry per page of the
// capacity: most lists (a layer's blocks, an undo step's records) fill a page or two,
// and a full-size directory for each would be cleared and carried for nothing.
#include "two_level_handle.h"

#include <algorithm>
#include <bit>
#include <new>

#include "error_codes.h"
#include "memory.h"

namespace {

constexpr uint16_t DefaultItemSize = 4;
constexpr uint16_t DefaultPageBytes = 0x8000;
// The capacity is items per page x (page bytes / 4 - 1): smaller pages leave no room.
constexpr uint32_t MinPageBytes = 8;
// Entries of a list's first directory; each growth doubles it.
constexpr uint32_t FirstDirectoryEntries = 8;

PTzHANDLE* PageTable(const PTzHandleLockGuard& directory)
{
    return reinterpret_cast<PTzHANDLE*>(directory.bytes());
}

}  // namespace

class Two_Level_Data {
public:
    Two_Level_Data(uint16_t itemSize, uint16_t shift);
    virtual ~Two_Level_Data();
    Two_Level_Data(const Two_Level_Data&) = delete;
    Two_Level_Data& operator=(const Two_Level_Data&) = delete;

    virtual int Append(const void* item);
    virtual int Insert(uint32_t index, const void* item);
    virtual int RemoveLast(uint32_t n);
    virtual int Remove(uint32_t index, uint32_t n);
    virtual int Set(uint32_t index, const void* item);
    virtual int Get(uint32_t index, void* out);
    virtual int CopyIntoPage(PTzHANDLE page, uint32_t slot, const void* item);
    virtual int CopyOutOfPage(PTzHANDLE page, uint32_t slot, void* out);
    virtual int MakeDirectory(uint32_t page);
    virtual int Access(uint32_t index, void* buffer, bool get);
    virtual int Truncate(uint32_t n);

    uint32_t Count() const { return m_count; }

private:
    // The full directory has one entry more than the capacity needs, so index =
    // capacity still has a page.
    uint32_t DirectoryEntries() const { return m_pageBytes / 4u; }
    uint32_t PagesReached(uint32_t count) const { return (count + m_mask) >> m_shift; }
    int ReservePage(uint32_t page);
    int AllocatePage(uint32_t page);

    uint32_t m_count = 0;
    uint32_t m_pagesMade = 0;  // directory entries past this one never held a page
    PTzHANDLE m_directory = nullptr;
    uint32_t m_directoryEntries = 0;
    uint16_t m_itemSize;
    uint16_t m_pageBytes;
    uint32_t m_capacity;
    uint16_t m_itemsPerPage;
    uint16_t m_shift;
    uint16_t m_mask;
};

Two_Level_Data::Two_Level_Data(uint16_t itemSize, uint16_t shift)
    : m_itemSize(itemSize),
      m_pageBytes(uint16_t(itemSize << shift)),
      m_capacity((1u << shift) * (m_pageBytes / 4u - 1)),
      m_itemsPerPage(uint16_t(1u << shift)),
      m_shift(shift),
      m_mask(uint16_t((1u << shift) - 1))
{
}

Two_Level_Data::~Two_Level_Data()
{
    if (!m_directory)
        return;
    {
        PTzHandleLockGuard directory(m_directory);
        if (directory) {
            PTzHANDLE* pages = PageTable(directory);
            for (uint32_t p = 0; p < m_pagesMade; ++p)
                if (pages[p])
                    PTzHandleFree(pages[p]);
        }
    }
    PTzHandleFree(m_directory);
}

int Two_Level_Data::Append(const void* item)
{
    if (const int code = Set(m_count, item))
        return code;
    ++m_count;
    return 0;
}

int Two_Level_Data::Insert(uint32_t index, const void* item)
{
    if (!item)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (m_count > m_capacity)
        return PTzFail(PTzERR_CONTAINER_FULL);
    if (index >= m_count)
        return Append(item);
    // The page the last item moves into is the only one that may be missing; getting
    // it before anything moves is what lets a failed insert change nothing.
    if (const int code = ReservePage(m_count >> m_shift))
        return code;
    PTzHandleLockGuard directory(m_directory);
    if (!directory)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    PTzHANDLE* pages = PageTable(directory);
    const uint32_t last = m_count - 1;
    const uint32_t firstPage = index >> m_shift;
    const uint32_t lastPage = last >> m_shift;
    for (uint32_t p = lastPage + 1; p-- > firstPage;) {
        PTzHandleLockGuard page(pages[p]);
        if (!page)
            return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
        const uint32_t from = p == firstPage ? index & m_mask : 0;
        const uint32_t to = p == lastPage ? last & m_mask : m_mask;
        uint32_t moving = to - from + 1;
        if (to == m_mask) {
            // A full page hands its last item to the next page before making room.
            if (const int code = CopyIntoPage(pages[p + 1], 0, page.bytes() + to * m_itemSize))
                return code;
            --moving;
        }
        PTzMemmove(page.bytes() + (from + 1) * m_itemSize, page.bytes() + from * m_itemSize,
                   moving * m_itemSize);
    }
    if (const int code = CopyIntoPage(pages[firstPage], index & m_mask, item))
        return code;
    ++m_count;
    return 0;
}

int Two_Level_Data::RemoveLast(uint32_t n)
{
    return Truncate(std::min(n, m_count));
}

int Two_Level_Data::Remove(uint32_t index, uint32_t n)
{
    if (index >= m_count)
        return 0;
    n = std::min(n, m_count - index);
    if (n == 0)
        return 0;
    {
        PTzHandleLockGuard directory(m_directory);
        if (!directory)
            return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
        PTzHANDLE* pages = PageTable(directory);
        // Each chunk stays inside one source page and one target page.
        for (uint32_t to = index, from = index + n; from < m_count;) {
            const uint32_t chunk = std::min({m_count - from, m_itemsPerPage - (from & m_mask),
                                             m_itemsPerPage - (to & m_mask)});
            PTzHandleLockGuard source(pages[from >> m_shift]);
            PTzHandleLockGuard target(pages[to >> m_shift]);
            if (!source || !target)
                return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
            PTzMemmove(target.bytes() + (to & m_mask) * m_itemSize,
                       source.bytes() + (from & m_mask) * m_itemSize, chunk * m_itemSize);
            from += chunk;
            to += chunk;
        }
    }
    return RemoveLast(n);
}

int Two_Level_Data::Set(uint32_t index, const void* item)
{
    return Access(index, const_cast<void*>(item), false);
}

int Two_Level_Data::Get(uint32_t index, void* out)
{
    return Access(index, out, true);
}

int Two_Level_Data::CopyIntoPage(PTzHANDLE page, uint32_t slot, const void* item)
{
    PTzHandleLockGuard bytes(page);
    if (!bytes)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    PTzMemcpy(bytes.bytes() + slot * m_itemSize, item, m_itemSize);
    return 0;
}

int Two_Level_Data::CopyOutOfPage(PTzHANDLE page, uint32_t slot, void* out)
{
    PTzHandleLockGuard bytes(page);
    if (!bytes)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    PTzMemcpy(out, bytes.bytes() + slot * m_itemSize, m_itemSize);
    return 0;
}

// A directory with an entry for the page, in place of the one there is (whose entries
// it takes over); the list is unchanged when it cannot be made.
int Two_Level_Data::MakeDirectory(uint32_t page)
{
    const uint32_t entries =
        std::min(std::max(std::bit_ceil(page + 1), FirstDirectoryEntries), DirectoryEntries());
    // A new handle comes zero-filled: every entry without a page.
    PTzHANDLE directory = PTzHandleNew(entries * uint32_t(sizeof(PTzHANDLE)));
    if (!directory)
        return PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
    if (m_directory) {
        bool copied = false;
        {
            PTzHandleLockGuard from(m_directory);
            PTzHandleLockGuard to(directory);
            if (from && to) {
                PTzMemcpy(to.bytes(), from.bytes(), m_pagesMade * uint32_t(sizeof(PTzHANDLE)));
                copied = true;
            }
        }
        if (!copied) {
            const int code = PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
            PTzHandleFree(directory);
            return code;
        }
        PTzHandleFree(m_directory);
    }
    m_directory = directory;
    m_directoryEntries = entries;
    return 0;
}

int Two_Level_Data::Access(uint32_t index, void* buffer, bool get)
{
    if (!buffer)
        return PTzFail(PTzERR_BAD_ARGUMENT);
    if (index > m_capacity || (get && index >= m_count))
        return PTzFail(PTzERR_CONTAINER_FULL);
    const uint32_t page = index >> m_shift;
    if (const int code = ReservePage(page))
        return code;
    PTzHandleLockGuard directory(m_directory);
    if (!directory)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    PTzHANDLE pageHandle = PageTable(directory)[page];
    return get ? CopyOutOfPage(pageHandle, index & m_mask, buffer)
               : CopyIntoPage(pageHandle, index & m_mask, buffer);
}

int Two_Level_Data::Truncate(uint32_t n)
{
    const uint32_t kept = m_count - n;
    if (m_directory) {
        PTzHandleLockGuard directory(m_directory);
        if (!directory)
            return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
        PTzHANDLE* pages = PageTable(directory);
        // Slots past the count stay zero, as in a freshly allocated page.
        if (const uint32_t slot = kept & m_mask) {
            PTzHandleLockGuard page(pages[kept >> m_shift]);
            if (!page)
                return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
            PTzMemset(page.bytes() + slot * m_itemSize, 0, (m_itemsPerPage - slot) * m_itemSize);
        }
        for (uint32_t p = PagesReached(kept); p < PagesReached(m_count); ++p)
            pages[p] = PTzHandleFree(pages[p]);
    }
    m_count = kept;
    return 0;
}

int Two_Level_Data::ReservePage(uint32_t page)
{
    const bool freshDirectory = !m_directory;
    if (page >= m_directoryEntries)
        if (const int code = MakeDirectory(page))
            return code;
    const int code = AllocatePage(page);
    // A first directory made for this call alone goes again, so the list is left as it
    // was; a grown one holds the same pages as before.
    if (code != 0 && freshDirectory) {
        m_directory = PTzHandleFree(m_directory);
        m_directoryEntries = 0;
    }
    return code;
}

int Two_Level_Data::AllocatePage(uint32_t page)
{
    PTzHandleLockGuard directory(m_directory);
    if (!directory)
        return PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    PTzHANDLE& entry = PageTable(directory)[page];
    if (!entry)
        entry = PTzHandleNew(m_pageBytes);
    if (!entry)
        return PTzLastErrorOr(PTzERR_OUT_OF_MEMORY);
    m_pagesMade = std::max(m_pagesMade, page + 1);
    return 0;
}

PTzTWOLEVELHANDLE PTzCreatTwoLevelHandle(uint16_t itemSize)
{
    return PTzCreatTwoLevelHandle_1(itemSize, DefaultPageBytes);
}

PTzTWOLEVELHANDLE PTzCreatTwoLevelHandle_1(uint16_t itemSize, uint16_t pageBytes)
{
    if (itemSize == 0)
        itemSize = DefaultItemSize;
    const uint32_t ratio = pageBytes / itemSize;
    const uint16_t shift = ratio < 2 ? 0 : uint16_t(std::bit_width(ratio) - 1);
    if ((uint32_t(itemSize) << shift) < MinPageBytes) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return nullptr;
    }
    // The object lives in a library block, so an exhausted allocator reports -51 here
    // like every other allocation of the library.
    void* memory = PTzPointNew(sizeof(Two_Level_Data));
    if (!memory) {
        PTzSetLastError(PTzERR_OUT_OF_MEMORY);
        return nullptr;
    }
    return new (memory) Two_Level_Data(itemSize, shift);
}

int PTzDestroyTwoLevelHandle(PTzTWOLEVELHANDLE list)
{
    if (!list) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    list->~Two_Level_Data();
    PTzPointFree(list);
    return 1;
}

uint32_t PTzTwoLevelHandleGetCount(PTzTWOLEVELHANDLE list)
{
    if (!list) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    return list->Count();
}

int PTzTwoLevelHandleInsertItem(PTzTWOLEVELHANDLE list, uint32_t index, const void* item)
{
    return list ? list->Insert(index, item) : PTzFail(PTzERR_BAD_ARGUMENT);
}

int PTzTwoLevelHandleRemoveItems(PTzTWOLEVELHANDLE list, uint32_t index, uint32_t n)
{
    return list ? list->Remove(index, n) : PTzFail(PTzERR_BAD_ARGUMENT);
}

int PTzTwoLevelHandleSetItemData(PTzTWOLEVELHANDLE list, uint32_t index, const void* item)
{
    return list ? list->Set(index, item) : PTzFail(PTzERR_BAD_ARGUMENT);
}

int PTzTwoLevelHandleGetItemData(PTzTWOLEVELHANDLE list, uint32_t index, void* out)
{
    return list ? list->Get(index, out) : PTzFail(PTzERR_BAD_ARGUMENT);
}
