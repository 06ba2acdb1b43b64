// Runs a merge test suite once per build of the merge kernels this processor runs.
#pragma once

#include "engine/pixels/merge_kernels_test_hooks.h"
#include "kernel_build_test.h"

using MergeBuildTest = KernelBuildTest<ITzTestMergeBuildName, ITzTestSetMergeBuild>;

#define INSTANTIATE_MERGE_BUILDS(Suite) INSTANTIATE_KERNEL_BUILDS(Suite)
