// Row access to one gray block record for the gray layer's pixel loops: read in place
// without expanding, or written through its locked handle. Library-private.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/memory.h"
#include "engine/pixels/block_records.h"

namespace lumatra {

// A block with data gives rows 256 bytes apart from its locked handle; a uniform block
// one row of its constant that every y shares.
class GrayBlockReader {
public:
    explicit GrayBlockReader(const _tagITzBLOCKINFOGRAY& record)
    {
        if (!record.data) {
            std::memset(m_constantRow, record.constant, sizeof m_constantRow);
            m_base = m_constantRow;
            return;
        }
        m_base = static_cast<const uint8_t*>(PTzHandleLock(record.data));
        if (m_base) {
            m_locked = record.data;
            m_step = 256;
        }
    }
    ~GrayBlockReader()
    {
        if (m_locked)
            PTzHandleUnlock(m_locked);
    }
    GrayBlockReader(const GrayBlockReader&) = delete;
    GrayBlockReader& operator=(const GrayBlockReader&) = delete;

    bool ok() const { return m_base != nullptr; }
    const uint8_t* row(int32_t y) const { return m_base + y * m_step; }

private:
    PTzHANDLE m_locked = nullptr;
    const uint8_t* m_base = nullptr;
    int32_t m_step = 0;
    uint8_t m_constantRow[256];
};

}  // namespace lumatra
