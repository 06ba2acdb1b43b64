// Items are taken one at a time under the mutex: a paint hands out tens of bands, each
// far longer than taking it, so nothing finer is needed.
#include "app/shell/paint_workers.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// Composing is bound by memory: beyond this many helpers a paint gains little more.
constexpr unsigned kMostHelpers = 3;

std::unique_ptr<CPaintWorkers>& SharedWorkers()
{
    static std::unique_ptr<CPaintWorkers> workers;
    return workers;
}

}  // namespace

CPaintWorkers::CPaintWorkers(unsigned helpers)
{
    m_threads.reserve(helpers);
    for (unsigned i = 0; i < helpers; ++i)
        m_threads.emplace_back([this] { Serve(); });
}

CPaintWorkers::~CPaintWorkers()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_start.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

unsigned CPaintWorkers::HelpersFor(unsigned processors)
{
    return processors > 1 ? std::min(processors - 1, kMostHelpers) : 0;
}

void CPaintWorkers::Run(size_t count, const std::function<void(size_t)>& run)
{
    if (m_threads.empty() || count < 2) {
        for (size_t i = 0; i < count; ++i)
            run(i);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_run = &run;
        m_count = count;
        m_next = 0;
        m_working = unsigned(m_threads.size());
        ++m_batch;
    }
    m_start.notify_all();
    Drain();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [this] { return m_working == 0; });
    m_run = nullptr;
    if (std::exception_ptr failure = std::exchange(m_failure, nullptr))
        std::rethrow_exception(failure);
}

void CPaintWorkers::Drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_next < m_count) {
        const size_t item = m_next++;
        const std::function<void(size_t)>& run = *m_run;
        lock.unlock();
        try {
            run(item);
        } catch (...) {
            lock.lock();
            // The items left are skipped: the batch ends once the running ones return.
            if (!m_failure)
                m_failure = std::current_exception();
            m_next = m_count;
            continue;
        }
        lock.lock();
    }
}

void CPaintWorkers::Serve()
{
    unsigned long served = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_start.wait(lock, [&] { return m_stop || m_batch != served; });
        if (m_stop)
            return;
        served = m_batch;
        lock.unlock();
        Drain();
        lock.lock();
        if (--m_working == 0)
            m_done.notify_one();
    }
}

CPaintWorkers& PaintWorkers()
{
    std::unique_ptr<CPaintWorkers>& workers = SharedWorkers();
    if (!workers)
        workers = std::make_unique<CPaintWorkers>(CPaintWorkers::HelpersFor(std::thread::hardware_concurrency()));
    return *workers;
}

void SetPaintHelpers(unsigned helpers)
{
    SharedWorkers() = std::make_unique<CPaintWorkers>(helpers);
}
