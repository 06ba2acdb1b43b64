// The tone-table row loops and their application to the colour channels of one block.
#include "engine/pixels/block_tone_map.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "base/memory.h"
#include "engine/pixels/block_memory_pool.h"
#include "engine/pixels/channel_compression.h"
#include "engine/pixels/layer_image.h"
#include "engine/pixels/merge_math.h"

using lumatra::merge::Mul255;

namespace lumatra {
namespace {

constexpr uint32_t kFirstColour = 1;  // red, green, blue follow alpha
constexpr uint32_t kLastColour = 3;

// bytes[i] = table[bytes[i]], eight lookups ahead of their stores: a store that may
// alias the table would otherwise hold back the next lookup.
void MapRun(const uint8_t* table, uint8_t* bytes, size_t count)
{
    constexpr size_t kGroup = 8;
    size_t i = 0;
    for (; i + kGroup <= count; i += kGroup) {
        uint8_t mapped[kGroup];
        for (size_t j = 0; j < kGroup; ++j)
            mapped[j] = table[bytes[i + j]];
        std::memcpy(bytes + i, mapped, kGroup);
    }
    for (; i < count; ++i)
        bytes[i] = table[bytes[i]];
}

// bytes[i] = M(table[bytes[i]], mask[i]) + M(bytes[i], 255 - mask[i]): the lookups of a
// short run first, then the blend over it, which the compiler vectorises.
void BlendRun(const uint8_t* table, uint8_t* bytes, const uint8_t* mask, size_t count)
{
    constexpr size_t kRun = 256;
    uint8_t mapped[kRun];
    for (size_t start = 0; start < count; start += kRun) {
        const size_t n = std::min(kRun, count - start);
        uint8_t* run = bytes + start;
        const uint8_t* selected = mask + start;
        for (size_t i = 0; i < n; ++i)
            mapped[i] = table[run[i]];
        for (size_t i = 0; i < n; ++i)
            run[i] = uint8_t(Mul255(mapped[i], selected[i]) + Mul255(run[i], 255 - selected[i]));
    }
}

// The table blended with the identity at one mask value: what a uniform mask makes of c.
void BlendTable(const uint8_t (&table)[256], uint8_t value, uint8_t (&out)[256])
{
    for (int c = 0; c < 256; ++c)
        out[c] = uint8_t(Mul255(table[c], value) + Mul255(c, 255 - value));
}

// A page of out[i] = M(to, mask[i]) + M(from, 255 - mask[i]): a uniform channel under a
// varying mask, whose result varies with the mask alone.
void BlendConstant(uint8_t from, uint8_t to, const uint8_t* mask, uint8_t* out)
{
    uint8_t byMask[256];
    for (int s = 0; s < 256; ++s)
        byMask[s] = uint8_t(Mul255(to, s) + Mul255(from, 255 - s));
    for (uint32_t i = 0; i < ITzBLOCK_PAGE_BYTES; ++i)
        out[i] = byMask[mask[i]];
}

// The pages of the colour channels for one block's mapping: the block's own handles,
// and new pages for the uniform channels that a varying mask spreads, each locked until
// Unlock. The new pages are freed again unless Keep hands them over.
class ColourPages {
public:
    ColourPages(const _tagITzBLOCKDATAINFO& info, const uint8_t (&table)[256], const ToneMask& mask)
    {
        for (uint32_t c = kFirstColour; c <= kLastColour; ++c) {
            const _tagITzCHANNELDATA& channel = info.channels[c];
            if (channel.data)
                m_handles[c] = channel.data;
            else if (mask.page && table[channel.constant] != channel.constant)
                m_handles[c] = m_made[c] = PTzHandleNewUnfilled(ITzBLOCK_PAGE_BYTES);
            else
                continue;  // stays uniform
            if (!m_handles[c] || !(m_bytes[c] = static_cast<uint8_t*>(PTzHandleLock(m_handles[c]))))
                m_ok = false;
        }
    }
    ~ColourPages()
    {
        Unlock();
        for (PTzHANDLE handle : m_made)
            if (handle)
                PTzHandleFree(handle);
    }
    ColourPages(const ColourPages&) = delete;
    ColourPages& operator=(const ColourPages&) = delete;

    bool ok() const { return m_ok; }
    // The channel's bytes while locked; null for a channel that stays uniform.
    uint8_t* bytes(uint32_t channel) const { return m_bytes[channel]; }
    PTzHANDLE made(uint32_t channel) const { return m_made[channel]; }
    void Unlock()
    {
        for (uint32_t c = kFirstColour; c <= kLastColour; ++c)
            if (m_bytes[c])
                PTzHandleUnlock(m_handles[c]);
        std::fill(std::begin(m_bytes), std::end(m_bytes), nullptr);
    }
    // The new page of a channel now belongs to the layer's record.
    void Keep(uint32_t channel) { m_made[channel] = nullptr; }

private:
    PTzHANDLE m_handles[4] = {};
    PTzHANDLE m_made[4] = {};
    uint8_t* m_bytes[4] = {};
    bool m_ok = true;
};

}  // namespace

bool ToneMapBlock(ITzLayerImage& layer, uint32_t index, const uint8_t (&table)[256], const ToneMask& mask)
{
    _tagITzBLOCKDATAINFO info;
    if (layer.GetBlockInfo(index, &info, 0) != 0 || info.lastChannel != kLastColour)
        return false;
    if (!mask.page && mask.value == 0)
        return true;
    uint8_t blended[256];
    const uint8_t* uniformTable = table;
    if (!mask.page && mask.value != 255) {
        BlendTable(table, mask.value, blended);
        uniformTable = blended;
    }
    // Everything that can fail is had before a byte changes.
    ColourPages pages(info, table, mask);
    if (!pages.ok())
        return false;
    _tagITzBLOCKDATAINFO result = info;
    for (uint32_t c = kFirstColour; c <= kLastColour; ++c) {
        _tagITzCHANNELDATA& channel = result.channels[c];
        uint8_t* bytes = pages.bytes(c);
        if (pages.made(c))
            BlendConstant(channel.constant, table[channel.constant], mask.page, bytes);
        else if (!bytes)
            channel.constant = uniformTable[channel.constant];
        else if (mask.page)
            BlendRun(table, bytes, mask.page, ITzBLOCK_PAGE_BYTES);
        else
            MapRun(uniformTable, bytes, ITzBLOCK_PAGE_BYTES);
        // A channel the table made all alike is kept as its byte: the layer frees the
        // old handle, `pages` a new page.
        if (bytes && ITzBytesUniform(bytes, ITzBLOCK_PAGE_BYTES, &channel.constant))
            channel.data = nullptr;
        else if (pages.made(c))
            channel.data = pages.made(c);
    }
    pages.Unlock();
    bool changed = false;
    for (uint32_t c = kFirstColour; c <= kLastColour; ++c)
        changed |= result.channels[c].data != info.channels[c].data ||
                   result.channels[c].constant != info.channels[c].constant;
    if (changed && layer.SetBlockInfo(index, &result) != 0)
        return false;
    for (uint32_t c = kFirstColour; c <= kLastColour; ++c)
        if (result.channels[c].data && result.channels[c].data == pages.made(c))
            pages.Keep(c);
    return true;
}

}  // namespace lumatra
