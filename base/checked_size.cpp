// Overflow-checked size arithmetic on the compiler's checked builtins.
#include "checked_size.h"

bool PTzCheckedMul(uint64_t a, uint64_t b, uint64_t* out, uint64_t limit)
{
    uint64_t product = 0;
    if (!out || __builtin_mul_overflow(a, b, &product) || product > limit)
        return false;
    *out = product;
    return true;
}

bool PTzCheckedAdd(uint64_t a, uint64_t b, uint64_t* out, uint64_t limit)
{
    uint64_t sum = 0;
    if (!out || __builtin_add_overflow(a, b, &sum) || sum > limit)
        return false;
    *out = sum;
    return true;
}

bool PTzCheckedRowBytes(uint64_t width, uint32_t bits, uint64_t* out, uint64_t limit)
{
    uint64_t rowBits = 0;
    if (!PTzCheckedMul(width, bits, &rowBits) || !PTzCheckedAdd(rowBits, 31, &rowBits))
        return false;
    return PTzCheckedMul(rowBits / 32, 4, out, limit);
}

bool PTzCheckedMulSigned(int64_t a, int64_t b, int64_t* out)
{
    int64_t product = 0;
    if (!out || __builtin_mul_overflow(a, b, &product))
        return false;
    *out = product;
    return true;
}
