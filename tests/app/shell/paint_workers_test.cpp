// The paint workers run every item of a batch once, and an item that throws ends its
// batch on the calling thread without leaving a helper on a batch that has returned.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/shell/paint_workers.h"

TEST(PaintWorkers, AThrowingItemEndsItsBatchAndTheNextBatchRunsWhole)
{
    for (const unsigned helpers : {0u, 3u}) {
        SCOPED_TRACE(helpers);
        CPaintWorkers workers(helpers);
        for (const size_t throwing : {size_t(0), size_t(37), size_t(199)}) {
            std::atomic<int> ran{0};
            EXPECT_THROW(workers.Run(200,
                                     [&](size_t i) {
                                         // Slow enough that the helpers take items too.
                                         std::this_thread::sleep_for(std::chrono::microseconds(50));
                                         if (i == throwing)
                                             throw std::runtime_error("no memory for the band");
                                         ++ran;
                                     }),
                         std::runtime_error);
            EXPECT_LT(ran.load(), 200);
            std::vector<std::atomic<int>> runs(500);
            workers.Run(runs.size(), [&](size_t i) { ++runs[i]; });
            for (const std::atomic<int>& count : runs)
                ASSERT_EQ(count.load(), 1);
        }
    }
}
