// Runs a resampling test suite once per build of the resample row loops this processor runs.
#pragma once

#include "engine/pixels/resample_kernels_test_hooks.h"
#include "kernel_build_test.h"

using ResampleBuildTest = KernelBuildTest<ITzTestResampleBuildName, ITzTestSetResampleBuild>;

#define INSTANTIATE_RESAMPLE_BUILDS(Suite) INSTANTIATE_KERNEL_BUILDS(Suite)
