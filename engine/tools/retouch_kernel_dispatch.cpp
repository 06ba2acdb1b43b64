// The functions of retouch_kernels.h: each hands its dab to the kernel build chosen on
// the first dab, the best this processor runs; also the test-only switch between builds.

#include "engine/pixels/kernel_builds.h"
#include "engine/tools/retouch_kernel_sets.h"
#include "engine/tools/retouch_kernels.h"
#include "engine/tools/retouch_kernels_test_hooks.h"

namespace lumatra::retouch {

namespace {

// Null until the first dab: nothing is chosen while the library loads.
std::atomic<const KernelSet*> g_active{nullptr};

const KernelSet& Active()
{
    return kernel_builds::Active(g_active, kKernelSets, kKernelSetCount);
}

}  // namespace

void BlurDab(const FilterDab& dab)
{
    Active().blur(dab);
}

void SharpenDab(const FilterDab& dab)
{
    Active().sharpen(dab);
}

void SmudgePickUp(const SmudgeDab& dab)
{
    Active().pickUp(dab);
}

void SmudgeDeposit(const SmudgeDab& dab)
{
    Active().deposit(dab);
}

}  // namespace lumatra::retouch

using lumatra::retouch::kKernelSetCount;
using lumatra::retouch::kKernelSets;

const char* ITzTestRetouchBuildName(int index)
{
    return lumatra::kernel_builds::Name(kKernelSets, kKernelSetCount, index);
}

int ITzTestSetRetouchBuild(int index)
{
    return lumatra::kernel_builds::Switch(lumatra::retouch::g_active, kKernelSets, kKernelSetCount, index);
}
