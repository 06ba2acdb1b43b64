// Small readers of 8-bit brush tips shared by the brush tip tests.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "engine/pixels/bitmap.h"
#include "engine/tools/brush_base.h"

namespace brush_test {

inline uint8_t At(const _tagITzBITMAP& tip, int32_t x, int32_t y)
{
    return tip.pixels[y * tip.stride + x];
}

inline std::set<uint8_t> Values(const _tagITzBITMAP& tip)
{
    std::set<uint8_t> values;
    for (int32_t y = 0; y < tip.height; ++y)
        for (int32_t x = 0; x < tip.width; ++x)
            values.insert(At(tip, x, y));
    return values;
}

inline bool BorderEmpty(const _tagITzBITMAP& tip)
{
    for (int32_t x = 0; x < tip.width; ++x)
        if (At(tip, x, 0) || At(tip, x, tip.height - 1))
            return false;
    for (int32_t y = 0; y < tip.height; ++y)
        if (At(tip, 0, y) || At(tip, tip.width - 1, y))
            return false;
    return true;
}

inline std::vector<uint8_t> Bytes(const _tagITzBITMAP& tip)
{
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < tip.height; ++y)
        bytes.insert(bytes.end(), tip.pixels + y * tip.stride, tip.pixels + y * tip.stride + tip.width);
    return bytes;
}

// A ready-made square tip of `side` pixels (border included) whose content is `value`.
struct ReadyTip {
    ReadyTip(int16_t side, uint8_t value, int16_t size, int16_t step)
        : bytes(size_t(side) * side, 0)
    {
        for (int32_t y = 1; y + 1 < side; ++y)
            for (int32_t x = 1; x + 1 < side; ++x)
                bytes[y * side + x] = value;
        info = {size, side, side, side, bytes.data(), step, 0};
    }
    std::vector<uint8_t> bytes;
    _tagITzBRUSHBRUSHINFO info;
};

}  // namespace brush_test
