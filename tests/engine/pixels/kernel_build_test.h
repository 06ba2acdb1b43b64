// Runs a test suite once per build of a set of row loops this processor runs, so that
// the AVX2 and baseline loops are checked on an AVX-512 machine too: a fixture that
// switches the engine to one build for the length of a test, named after it. `Name` and
// `Switch` are the set's test hooks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

template <const char* (*Name)(int), int (*Switch)(int)>
class KernelBuildTest : public ::testing::TestWithParam<int> {
public:
    // The builds the processor runs.
    static std::vector<int> Builds()
    {
        std::vector<int> builds;
        for (int index = 0; Name(index); ++index)
            if (Switch(index))
                builds.push_back(index);
        Switch(-1);
        return builds;
    }

    static std::string BuildName(const ::testing::TestParamInfo<int>& info) { return Name(info.param); }

protected:
    void SetUp() override { ASSERT_EQ(Switch(GetParam()), 1); }
    void TearDown() override { Switch(-1); }
};

#define INSTANTIATE_KERNEL_BUILDS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Builds, Suite, ::testing::ValuesIn(Suite::Builds()), Suite::BuildName)
