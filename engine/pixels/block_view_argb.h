// Row access to the four channels of one ARGB block record, for the layer's pixel
// loops. Library-private.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/memory.h"
#include "engine/pixels/block_records.h"

namespace lumatra {

inline constexpr int32_t kBlockSide = 256;

// Reads a block without expanding it: a data channel gives rows 256 bytes apart from
// its locked handle, a uniform channel one row of its constant that every y shares.
class ARGBBlockReader {
public:
    explicit ARGBBlockReader(const _tagITzBLOCKINFOARGB& record)
    {
        for (int c = 0; c < 4; ++c) {
            if (!record.channels[c]) {
                std::memset(m_constantRows[c], record.constants[c], kBlockSide);
                m_base[c] = m_constantRows[c];
                continue;
            }
            m_base[c] = static_cast<const uint8_t*>(PTzHandleLock(record.channels[c]));
            if (!m_base[c]) {
                m_ok = false;
                continue;
            }
            m_locked[c] = record.channels[c];
            m_step[c] = kBlockSide;
        }
    }
    ~ARGBBlockReader()
    {
        for (PTzHANDLE channel : m_locked)
            if (channel)
                PTzHandleUnlock(channel);
    }
    ARGBBlockReader(const ARGBBlockReader&) = delete;
    ARGBBlockReader& operator=(const ARGBBlockReader&) = delete;

    bool ok() const { return m_ok; }
    bool uniform(int channel) const { return m_step[channel] == 0; }
    const uint8_t* row(int channel, int32_t y) const { return m_base[channel] + y * m_step[channel]; }

private:
    PTzHANDLE m_locked[4] = {};
    const uint8_t* m_base[4] = {};
    int32_t m_step[4] = {};
    uint8_t m_constantRows[4][kBlockSide];
    bool m_ok = true;
};

// Writes an expanded block: its four handles locked as pages of rows of 256. A channel
// without a handle has no page (null).
class ARGBBlockWriter {
public:
    explicit ARGBBlockWriter(const _tagITzBLOCKINFOARGB& record)
    {
        for (int c = 0; c < 4; ++c) {
            if (!record.channels[c])
                continue;
            m_pages[c] = static_cast<uint8_t*>(PTzHandleLock(record.channels[c]));
            if (m_pages[c])
                m_locked[c] = record.channels[c];
        }
    }
    ~ARGBBlockWriter()
    {
        for (PTzHANDLE channel : m_locked)
            if (channel)
                PTzHandleUnlock(channel);
    }
    ARGBBlockWriter(const ARGBBlockWriter&) = delete;
    ARGBBlockWriter& operator=(const ARGBBlockWriter&) = delete;

    bool complete() const { return m_pages[0] && m_pages[1] && m_pages[2] && m_pages[3]; }
    uint8_t* page(int channel) const { return m_pages[channel]; }
    uint8_t* const* pages() const { return m_pages; }
    uint8_t* row(int channel, int32_t y) const { return m_pages[channel] + y * kBlockSide; }

private:
    PTzHANDLE m_locked[4] = {};
    uint8_t* m_pages[4] = {};
};

}  // namespace lumatra
