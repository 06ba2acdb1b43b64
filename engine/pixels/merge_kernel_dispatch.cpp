// The functions of merge_kernels.h and argb_pack.h: each hands its job to the kernel
// build chosen on the first call, the best this processor runs. The choice is one load
// per job (a tile or a row), never per pixel. Also the plain plane copies, which need no
// build of their own, and the test-only switch between builds.
#include <cstring>

#include "engine/pixels/argb_pack.h"
#include "engine/pixels/kernel_builds.h"
#include "engine/pixels/merge_kernel_sets.h"
#include "engine/pixels/merge_kernels.h"
#include "engine/pixels/merge_kernels_test_hooks.h"

namespace lumatra::merge {

namespace {

// Null until the first merge: nothing is chosen while the library loads.
std::atomic<const KernelSet*> g_active{nullptr};

const KernelSet& Active()
{
    return kernel_builds::Active(g_active, kKernelSets, kKernelSetCount);
}

// Copies planes first..end - 1 row by row.
void CopyPlaneRows(const Job& job, int first, int end)
{
    for (int c = first; c < end; ++c)
        for (int32_t y = 0; y < job.height; ++y)
            std::memcpy(job.dest[c] + ptrdiff_t(y) * job.destStride, job.source[c] + ptrdiff_t(y) * job.sourceStride,
                        size_t(job.width));
}

}  // namespace

void GrayPlane(GrayOp op, const Job& job)
{
    Active().grayPlane(op, job);
}

void GrayIntoAlpha32(GrayOp op, const Job& job)
{
    Active().grayIntoAlpha32(op, job);
}

void AlphaOverPlanar(const Job& job)
{
    Active().alphaOverPlanar(job);
}

void SmudgePlanar(const Job& job)
{
    Active().smudgePlanar(job);
}

void ColorCopyPlanar(const Job& job)
{
    CopyPlaneRows(job, 1, 4);
    Job alpha = job;
    alpha.opacity = 255;
    GrayPlane(GrayOp::Union, alpha);
}

void CopyPlanes(const Job& job, int planes)
{
    CopyPlaneRows(job, 0, planes);
}

void AlphaOver32(const Job& job)
{
    Active().alphaOver32(job);
}

void AlphaOver32To24(const Job& job, bool bgr)
{
    Active().alphaOver32To24(job, bgr);
}

void Invert(const Job& job, int bytesPerPixel)
{
    Active().invert(job, bytesPerPixel);
}

}  // namespace lumatra::merge

namespace lumatra::pack {

void PlanesToARGB(const uint8_t* const planes[4], uint8_t* out, int32_t count)
{
    merge::Active().planesToARGB(planes, out, count);
}

void ARGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count)
{
    merge::Active().argbToPlanes(in, planes, count);
}

void RGBToPlanes(const uint8_t* in, uint8_t* const planes[4], int32_t count, bool bgr)
{
    merge::Active().rgbToPlanes(in, planes, count, bgr);
}

}  // namespace lumatra::pack

using lumatra::merge::kKernelSetCount;
using lumatra::merge::kKernelSets;

const char* ITzTestMergeBuildName(int index)
{
    return lumatra::kernel_builds::Name(kKernelSets, kKernelSetCount, index);
}

int ITzTestSetMergeBuild(int index)
{
    return lumatra::kernel_builds::Switch(lumatra::merge::g_active, kKernelSets, kKernelSetCount, index);
}
