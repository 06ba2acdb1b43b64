// Tagged blocks, lock counting, the adjustable allocation and the last error.
#include "base/memory.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>

#include "base/error_codes.h"
#include "base/memory_test_hooks.h"

namespace {

struct AllocationHooksOff {
    ~AllocationHooksOff()
    {
        PTzTestSetAllocationCeiling(0);
        PTzTestSetAllocationCountdown(-1);
    }
};

TEST(Memory, PointsAndHandlesAreZeroFilledAndFreedByOneCall)
{
    auto* point = static_cast<uint8_t*>(PTzPointNew(100));
    ASSERT_NE(point, nullptr);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(point[i], 0);
    PTzHANDLE handle = PTzHandleNew(64);
    ASSERT_NE(handle, nullptr);
    auto* bytes = static_cast<uint8_t*>(PTzHandleLock(handle));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[63], 0);
    PTzHandleUnlock(handle);
    EXPECT_EQ(PTzHandleFree(point), nullptr);
    EXPECT_EQ(PTzPointFree(handle), nullptr);
}

TEST(Memory, UnfilledHandleIsATaggedUnlockedHandleOfItsSize)
{
    // Leave a locked, written block behind so that the allocator's reuse of its memory
    // would show through as a stale lock count.
    PTzHANDLE previous = PTzHandleNew(4096);
    std::memset(PTzHandleLock(previous), 0xCD, 4096);
    PTzHandleLock(previous);
    PTzHandleFree(previous);

    PTzHANDLE handle = PTzHandleNewUnfilled(4096);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(PTzBlockSize(handle), 4096u);
    auto* bytes = static_cast<uint8_t*>(PTzHandleLock(handle));
    ASSERT_EQ(bytes, handle);
    std::memset(bytes, 0x5A, 4096);
    EXPECT_EQ(PTzHandleUnlock(handle), 0) << "one lock, one unlock: unlocked";
    EXPECT_EQ(PTzPointFree(handle), nullptr);

    PTzHANDLE empty = PTzHandleNewUnfilled(0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(PTzBlockSize(empty), 0u);
    EXPECT_EQ(PTzHandleFree(empty), nullptr);
}

TEST(Memory, UnfilledHandleObeysTheCeilingAndTheCountdown)
{
    AllocationHooksOff restore;
    PTzTestSetAllocationCeiling(100);
    PTzSetLastError(0);
    EXPECT_EQ(PTzHandleNewUnfilled(101), nullptr);
    EXPECT_NE(PTzGetLastError(), 0);
    PTzHANDLE fits = PTzHandleNewUnfilled(100);
    EXPECT_NE(fits, nullptr);
    PTzHandleFree(fits);

    PTzTestSetAllocationCeiling(0);
    PTzTestSetAllocationCountdown(1);
    PTzHANDLE first = PTzHandleNewUnfilled(8);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(PTzHandleNewUnfilled(8), nullptr);
    PTzHandleFree(first);
}

TEST(Memory, FreeRefusesAForeignPointerAndReturnsIt)
{
    std::array<uint64_t, 16> foreign{};
    void* inside = &foreign[8];
    EXPECT_EQ(PTzPointFree(inside), inside);
    EXPECT_NE(PTzGetLastError(), 0);
    EXPECT_EQ(PTzHandleLock(inside), nullptr);
}

TEST(Memory, PointIsNotAHandle)
{
    void* point = PTzPointNew(8);
    EXPECT_EQ(PTzHandleLock(point), nullptr);
    PTzPointFree(point);
}

TEST(Memory, HandleLocksNest)
{
    PTzHANDLE handle = PTzHandleNew(16);
    ASSERT_NE(PTzHandleLock(handle), nullptr);
    ASSERT_NE(PTzHandleLock(handle), nullptr);
    EXPECT_NE(PTzHandleUnlock(handle), 0);
    EXPECT_EQ(PTzHandleUnlock(handle), 0);
    EXPECT_EQ(PTzHandleUnlock(handle), 0) << "unlocking an unlocked handle stays at zero";
    PTzHandleFree(handle);
}

TEST(Memory, ZeroFillClearsTheWholeHandle)
{
    PTzHANDLE handle = PTzHandleNew(32);
    std::memset(PTzHandleLock(handle), 0xAB, 32);
    PTzHandleUnlock(handle);
    EXPECT_EQ(PTzHandleZeroFill(handle), 1);
    auto* bytes = static_cast<uint8_t*>(PTzHandleLock(handle));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(bytes[i], 0);
    PTzHandleUnlock(handle);
    PTzHandleFree(handle);
    EXPECT_EQ(PTzHandleZeroFill(nullptr), 0);
    EXPECT_EQ(PTzGetLastError(), PTzERR_BAD_ARGUMENT);
}

TEST(Memory, AdjustableAllocationHalvesUntilItFits)
{
    AllocationHooksOff restore;
    PTzTestSetAllocationCeiling(1000);
    uint32_t size = 4096;
    void* block = PTzPointNewAdjustable(&size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 512u);
    EXPECT_EQ(PTzBlockSize(block), 512u);
    PTzPointFree(block);

    PTzTestSetAllocationCountdown(0);
    size = 1;
    EXPECT_EQ(PTzPointNewAdjustable(&size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(PTzPointNewAdjustable(nullptr), nullptr);
}

TEST(Memory, FailedAllocationLeavesANonzeroLastError)
{
    AllocationHooksOff restore;
    PTzSetLastError(0);
    PTzTestSetAllocationCountdown(0);
    EXPECT_EQ(PTzHandleNew(10), nullptr);
    EXPECT_NE(PTzGetLastError(), 0);
}

TEST(Memory, MemcpyOfOverlappingRangesMatchesMemmove)
{
    std::array<uint8_t, 32> a{}, b{};
    for (int i = 0; i < 32; ++i)
        a[i] = b[i] = uint8_t(i);
    PTzMemcpy(a.data() + 3, a.data(), 20);
    PTzMemmove(b.data() + 3, b.data(), 20);
    EXPECT_EQ(a, b);
    PTzMemcpy(a.data(), a.data() + 5, 20);
    PTzMemmove(b.data(), b.data() + 5, 20);
    EXPECT_EQ(a, b);
    PTzMemset(a.data(), 0x1FF, 4);
    EXPECT_EQ(a[3], 0xFF);
}

TEST(LastError, IsPerThread)
{
    PTzSetLastError(-1203);
    int seenInOtherThread = 1;
    std::thread([&] { seenInOtherThread = PTzGetLastError(); }).join();
    EXPECT_EQ(seenInOtherThread, 0);
    EXPECT_EQ(PTzGetLastError(), -1203);
}

}  // namespace
