// Runs a resampling test suite once per build of the resample row loops this processor
// runs, so that the AVX2 and baseline loops are checked on an AVX-512 machine too: a
// fixture that switches the engine to one build for the length of a test, named after it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/pixels/resample_kernels_test_hooks.h"

class ResampleBuildTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ASSERT_EQ(ITzTestSetResampleBuild(GetParam()), 1); }
    void TearDown() override { ITzTestSetResampleBuild(-1); }
};

// The builds the processor runs.
inline std::vector<int> ResampleBuilds()
{
    std::vector<int> builds;
    for (int index = 0; ITzTestResampleBuildName(index); ++index)
        if (ITzTestSetResampleBuild(index))
            builds.push_back(index);
    ITzTestSetResampleBuild(-1);
    return builds;
}

inline std::string ResampleBuildName(const ::testing::TestParamInfo<int>& info)
{
    return ITzTestResampleBuildName(info.param);
}

#define INSTANTIATE_RESAMPLE_BUILDS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Builds, Suite, ::testing::ValuesIn(ResampleBuilds()), ResampleBuildName)
