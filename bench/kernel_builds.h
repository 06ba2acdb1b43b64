// Benchmarks run once per build of the engine's row loops that this processor runs (the
// merge, resample and retouching sets switched together through their test switches),
// each named after its build, e.g. "AlphaOverCachedTile[avx2]/255", so that an AVX-512
// machine measures the AVX2 and baseline builds beside the peers in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pixels/merge_kernels_test_hooks.h"
#include "engine/pixels/resample_kernels_test_hooks.h"
#include "engine/tools/retouch_kernels_test_hooks.h"

namespace kernel_bench {

// Switches one set to the build called `name`: whether it has one the processor runs.
inline bool SwitchSet(const char* (*buildName)(int), int (*setBuild)(int), const std::string& name)
{
    for (int index = 0; buildName(index); ++index)
        if (name == buildName(index))
            return setBuild(index) == 1;
    return false;
}

// Every set to the build called `name`; every set back to the engine's own choice for an
// empty name.
inline bool UseBuild(const std::string& name)
{
    if (name.empty()) {
        ITzTestSetMergeBuild(-1);
        ITzTestSetResampleBuild(-1);
        ITzTestSetRetouchBuild(-1);
        return true;
    }
    return SwitchSet(ITzTestMergeBuildName, ITzTestSetMergeBuild, name) &&
           SwitchSet(ITzTestResampleBuildName, ITzTestSetResampleBuild, name) &&
           SwitchSet(ITzTestRetouchBuildName, ITzTestSetRetouchBuild, name);
}

// The build the running benchmark measures, empty outside EachBuild's benchmarks.
inline std::string& CurrentBuild()
{
    static std::string build;
    return build;
}

// The names of the builds the processor runs, best first.
inline std::vector<std::string> Builds()
{
    std::vector<std::string> builds;
    for (int index = 0; ITzTestMergeBuildName(index); ++index)
        if (UseBuild(ITzTestMergeBuildName(index)))
            builds.emplace_back(ITzTestMergeBuildName(index));
    UseBuild({});
    return builds;
}

// The benchmarks of one function, one per build, configured together: each setting is
// applied to every build's benchmark.
class EachBuild {
public:
    EachBuild(const char* name, void (*function)(benchmark::State&))
    {
        for (const std::string& build : Builds())
            runs_.push_back(benchmark::RegisterBenchmark(
                (std::string(name) + "[" + build + "]").c_str(), [function, build](benchmark::State& state) {
                    CurrentBuild() = build;
                    if (UseBuild(build))
                        function(state);
                    else
                        state.SkipWithError("the build cannot be switched to");
                    UseBuild({});
                    CurrentBuild().clear();
                }));
    }

    using Run = benchmark::internal::Benchmark;

    EachBuild* Arg(int64_t x) { return Each([&](Run* run) { run->Arg(x); }); }
    EachBuild* ArgNames(const std::vector<std::string>& names) { return Each([&](Run* run) { run->ArgNames(names); }); }
    EachBuild* Args(const std::vector<int64_t>& args) { return Each([&](Run* run) { run->Args(args); }); }
    EachBuild* ArgsProduct(const std::vector<std::vector<int64_t>>& lists)
    {
        return Each([&](Run* run) { run->ArgsProduct(lists); });
    }
    EachBuild* Apply(void (*custom)(Run*)) { return Each([&](Run* run) { run->Apply(custom); }); }
    EachBuild* Unit(benchmark::TimeUnit unit) { return Each([&](Run* run) { run->Unit(unit); }); }
    EachBuild* MinTime(double seconds) { return Each([&](Run* run) { run->MinTime(seconds); }); }
    EachBuild* MinWarmUpTime(double seconds) { return Each([&](Run* run) { run->MinWarmUpTime(seconds); }); }
    EachBuild* Iterations(benchmark::IterationCount n) { return Each([&](Run* run) { run->Iterations(n); }); }

private:
    template <class Setting>
    EachBuild* Each(Setting setting)
    {
        for (Run* run : runs_)
            setting(run);
        return this;
    }

    std::vector<Run*> runs_;
};

}  // namespace kernel_bench

// BENCHMARK for a function whose cost is the engine's row loops: once per build.
#define BENCHMARK_EACH_BUILD(function)                                                            \
    static kernel_bench::EachBuild* const BENCHMARK_PRIVATE_NAME(_each_build_) =                  \
        (new kernel_bench::EachBuild(#function, function))
