// The functions of resample_kernels.h: each hands its row to the kernel build chosen on
// the first resample, the best this processor runs; also the test-only switch between
// builds.

#include "engine/pixels/kernel_builds.h"
#include "engine/pixels/resample_kernel_sets.h"
#include "engine/pixels/resample_kernels.h"
#include "engine/pixels/resample_kernels_test_hooks.h"

namespace lumatra::resample {

namespace {

// Null until the first resample: nothing is chosen while the library loads.
std::atomic<const KernelSet*> g_active{nullptr};

const KernelSet& Active()
{
    return kernel_builds::Active(g_active, kKernelSets, kKernelSetCount);
}

}  // namespace

void Widen(uint32_t* out, const uint8_t* in, int32_t n)
{
    Active().widen(out, in, n);
}

void Products(uint32_t* out, const uint8_t* a, const uint8_t* c, int32_t n)
{
    Active().products(out, a, c, n);
}

void AddWeighted(uint32_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first)
{
    Active().addWeighted(sum, in, w, n, first);
}

void AddWeightedProducts(uint32_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w, int32_t n, bool first)
{
    Active().addWeightedProducts(sum, a, c, w, n, first);
}

void AddWeightedSums(uint32_t* sum, const uint32_t* in, uint32_t w, int32_t n, bool first)
{
    Active().addWeightedSums(sum, in, w, n, first);
}

void GatherChannels(uint32_t* const* out, const uint32_t* const* values, int channels, const int32_t* start,
                    const uint32_t* weights, int32_t taps, int32_t n, bool rising)
{
    Active().gatherChannels(out, values, channels, start, weights, taps, n, rising);
}

void Pairs(uint32_t* out, const uint8_t* in, int32_t n)
{
    Active().pairs(out, in, n);
}

void GatherPairs(uint32_t* const* out, const uint32_t* const* pairs, int channels, const int32_t* start,
                 const uint32_t* weights, int32_t n, bool rising)
{
    Active().gatherPairs(out, pairs, channels, start, weights, n, rising);
}

void Scale(uint32_t* out, const uint32_t* in, uint32_t w, int32_t n)
{
    Active().scale(out, in, w, n);
}

void Reciprocals(float* out, const uint32_t* den, int32_t n)
{
    Active().reciprocals(out, den, n);
}

void Divide(uint8_t* out, const uint32_t* num, const uint32_t* den, const float* reciprocals, int32_t n,
            bool write255)
{
    Active().divide(out, num, den, reciprocals, n, write255);
}

void FinishRow(bool opaque, int colours, int taps, const resample_rows::FinishJob& job)
{
    Active().finish[opaque ? 1 : 0][colours == 3 ? 1 : 0][taps == 2 ? 1 : 0](job);
}

}  // namespace lumatra::resample

using lumatra::resample::kKernelSetCount;
using lumatra::resample::kKernelSets;

const char* ITzTestResampleBuildName(int index)
{
    return lumatra::kernel_builds::Name(kKernelSets, kKernelSetCount, index);
}

int ITzTestSetResampleBuild(int index)
{
    return lumatra::kernel_builds::Switch(lumatra::resample::g_active, kKernelSets, kKernelSetCount, index);
}
