// The runner's loop and its rule for showing the progress dialog.
#include "app/shell/operation.h"

#include <algorithm>

#include "app/shell/shell_dialogs.h"
#include "base/memory.h"

namespace {

OperationClock currentClock = PTzGetTickCount;

constexpr uint32_t kQuickMs = 500;
constexpr uint64_t kLongTotalMs = 5000;
constexpr uint64_t kLongRemainderMs = 3000;

}  // namespace

COperationBase::~COperationBase() = default;

int COperationBase::Step(uint32_t*)
{
    return 0;
}

int COperationBase::Cancel()
{
    return 1;
}

int COperationBase::Finish()
{
    m_endResult = End();
    m_finished = true;
    return m_endResult;
}

int COperationBase::Abandon()
{
    m_cancelled = true;
    return Cancel();
}

int COperationBase::Run()
{
    const uint32_t start = currentClock();
    if (!Start())
        return 0;
    uint32_t percent = 0;
    int more = Step(&percent);
    while (more) {
        percent = std::min<uint32_t>(percent, 100);
        if (ShouldShowProgress(currentClock() - start, percent)) {
            quorvel::ShellDialogs().RunProgress(*this);
            return m_finished ? m_endResult : 0;
        }
        more = Step(&percent);
    }
    return Finish();
}

OperationClock SetOperationClock(OperationClock clock)
{
    const OperationClock replaced = currentClock;
    currentClock = clock ? clock : PTzGetTickCount;
    return replaced;
}

bool ShouldShowProgress(uint32_t elapsed, uint32_t percent)
{
    if (elapsed <= kQuickMs)
        return false;
    if (percent == 0)
        return true;
    const uint64_t total = uint64_t(elapsed) * 100 / percent;
    const uint64_t remainder = uint64_t(100 - std::min<uint32_t>(percent, 100)) * elapsed / percent;
    return total > kLongTotalMs && remainder > kLongRemainderMs;
}

int RunRemainingSteps(COperationBase& operation)
{
    uint32_t percent = 0;
    while (operation.Step(&percent)) {
    }
    return operation.Finish();
}
