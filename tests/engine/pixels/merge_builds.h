// Runs a merge test suite once per build of the merge kernels this processor runs, so
// that the AVX2 and baseline loops are checked on an AVX-512 machine too: a fixture that
// switches the engine to one build for the length of a test, named after it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/pixels/merge_kernels_test_hooks.h"

class MergeBuildTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ASSERT_EQ(ITzTestSetMergeBuild(GetParam()), 1); }
    void TearDown() override { ITzTestSetMergeBuild(-1); }
};

// The builds the processor runs.
inline std::vector<int> MergeBuilds()
{
    std::vector<int> builds;
    for (int index = 0; ITzTestMergeBuildName(index); ++index)
        if (ITzTestSetMergeBuild(index))
            builds.push_back(index);
    ITzTestSetMergeBuild(-1);
    return builds;
}

inline std::string MergeBuildName(const ::testing::TestParamInfo<int>& info)
{
    return ITzTestMergeBuildName(info.param);
}

#define INSTANTIATE_MERGE_BUILDS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Builds, Suite, ::testing::ValuesIn(MergeBuilds()), MergeBuildName)
