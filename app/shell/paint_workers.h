// Threads that compose a paint's stale rows beside the painting thread: a paint hands
// them one batch of independent items and waits until every item has run. The items
// only run row loops over pixels the painting thread planned and locked; none touches
// the engine's objects.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CPaintWorkers {
public:
    // With `helpers` threads beside the calling one; with none every item runs on the
    // calling thread.
    explicit CPaintWorkers(unsigned helpers);
    ~CPaintWorkers();
    CPaintWorkers(const CPaintWorkers&) = delete;
    CPaintWorkers& operator=(const CPaintWorkers&) = delete;

    // Calls run(i) once for each i in [0, count), on the helpers and on the calling
    // thread, and returns when every call has returned; an exception of a call is thrown
    // again then, after the others, the rest of the items left undone. Not reentrant.
    void Run(size_t count, const std::function<void(size_t)>& run);
    unsigned Helpers() const { return unsigned(m_threads.size()); }

    // The helpers for a machine of `processors` (0: unknown): one fewer than there are
    // processors, no more than composing gains from while memory keeps pace.
    static unsigned HelpersFor(unsigned processors);

private:
    void Serve();
    // Runs items of the batch until none is left.
    void Drain();

    std::mutex m_mutex;
    std::condition_variable m_start;
    std::condition_variable m_done;
    const std::function<void(size_t)>* m_run = nullptr;
    std::exception_ptr m_failure;  // the batch's first exception, under the mutex
    size_t m_count = 0;
    size_t m_next = 0;           // the next item to take, under the mutex
    unsigned m_working = 0;      // helpers still in the batch
    unsigned long m_batch = 0;   // counts batches, so that a helper takes each once
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

// The workers every view's paint shares, made on first use with HelpersFor this machine.
CPaintWorkers& PaintWorkers();
// Makes them anew with `helpers` threads, between paints: for tests and benchmarks that
// compose as a machine of helpers + 1 processors would.
void SetPaintHelpers(unsigned helpers);
