// Inserts at the front and in the middle of a long list: the two-level handle list
// against std::vector<uint32_t> on the same workload. Each run inserts a fixed batch
// and takes it out again untimed, so every run starts from the same list.
#include <benchmark/benchmark.h>

#include <vector>

#include "base/two_level_handle.h"

namespace {

constexpr uint32_t BatchSize = 64;

// range(0): items in the list; range(1): 0 inserts at the front, 1 in the middle.
uint32_t InsertPosition(const benchmark::State& state)
{
    return state.range(1) == 0 ? 0 : uint32_t(state.range(0) / 2);
}

void TwoLevelHandleInsert(benchmark::State& state)
{
    const uint32_t length = uint32_t(state.range(0));
    const uint32_t at = InsertPosition(state);
    PTzTWOLEVELHANDLE list = PTzCreatTwoLevelHandle(4);
    for (uint32_t i = 0; list && i < length; ++i)
        if (PTzTwoLevelHandleInsertItem(list, i, &i) != 0)
            break;
    if (PTzTwoLevelHandleGetCount(list) != length) {
        state.SkipWithError("the list could not be filled");
        PTzDestroyTwoLevelHandle(list);
        return;
    }
    for (auto _ : state) {
        for (uint32_t i = 0; i < BatchSize; ++i)
            benchmark::DoNotOptimize(PTzTwoLevelHandleInsertItem(list, at, &i));
        state.PauseTiming();
        PTzTwoLevelHandleRemoveItems(list, at, BatchSize);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * BatchSize);
    PTzDestroyTwoLevelHandle(list);
}

void VectorInsert(benchmark::State& state)
{
    const uint32_t length = uint32_t(state.range(0));
    const uint32_t at = InsertPosition(state);
    std::vector<uint32_t> list(length);
    for (uint32_t i = 0; i < length; ++i)
        list[i] = i;
    for (auto _ : state) {
        for (uint32_t i = 0; i < BatchSize; ++i)
            list.insert(list.begin() + at, i);
        benchmark::ClobberMemory();
        state.PauseTiming();
        list.erase(list.begin() + at, list.begin() + at + BatchSize);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * BatchSize);
}

void Workloads(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"items", "middle"});
    for (int64_t items : {1 << 16, 1 << 20})
        for (int64_t middle : {0, 1})
            bench->Args({items, middle});
    bench->Unit(benchmark::kMicrosecond);
}

BENCHMARK(TwoLevelHandleInsert)->Apply(Workloads);
BENCHMARK(VectorInsert)->Apply(Workloads);

}  // namespace
