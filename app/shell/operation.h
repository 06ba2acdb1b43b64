// Long work of the shell (opening, saving, resizing, rotating a picture) cut into steps
// by the engine and wrapped behind one protocol: Start, Step, Cancel, End. The runner
// does the steps in a plain loop while the job is quick and hands the rest to the modal
// progress dialog once it turns out slow, so the program stays responsive.
#pragma once

#include <cstdint>

class QWidget;

class COperationBase {
public:
    // The dialog parent is the progress dialog's owner; null means the main window.
    explicit COperationBase(QWidget* dialogParent = nullptr) : m_dialogParent(dialogParent) {}
    virtual ~COperationBase();
    COperationBase(const COperationBase&) = delete;
    COperationBase& operator=(const COperationBase&) = delete;

    // The runner: nonzero when the job ran to its end and End reported success; 0 when
    // it could not start, was cancelled, or failed. Exactly one of End and Cancel is
    // called after a successful Start.
    int Run();

    // Nonzero when the job could begin; nothing is held when it gives 0.
    virtual int Start() = 0;
    // Nonzero while work remains, 0 when the job is over (finished or failed). Writes the
    // percentage done when it knows it. The base has nothing to do: 0.
    virtual int Step(uint32_t* percent);
    // Abandons the job and releases what Start took: 1.
    virtual int Cancel();
    // Finishes the job and releases what Start took: nonzero when the job succeeded.
    virtual int End() = 0;

    // End and Cancel as the runner and the progress dialog call them, each remembered.
    int Finish();
    int Abandon();
    bool WasCancelled() const { return m_cancelled; }
    bool HasFinished() const { return m_finished; }
    // End's result once finished, else 0.
    int EndResult() const { return m_endResult; }
    QWidget* DialogParent() const { return m_dialogParent; }

private:
    QWidget* m_dialogParent;
    bool m_finished = false;
    bool m_cancelled = false;
    int m_endResult = 0;
};

// What the runner reads the time from: milliseconds that wrap at 2^32.
using OperationClock = uint32_t (*)();
// Replaces the runner's clock (null restores PTzGetTickCount); gives the one replaced.
OperationClock SetOperationClock(OperationClock clock);

// Whether a job still running after `elapsed` ms, `percent` (0..100) done, goes to the
// progress dialog: after 500 ms when no percentage is known yet, or when the estimated
// total passes 5 s with more than 3 s still to go.
bool ShouldShowProgress(uint32_t elapsed, uint32_t percent);

// Steps the operation to its end in a plain loop and finishes it, for dialogs that
// tests put in the progress dialog's place: the operation's Finish result.
int RunRemainingSteps(COperationBase& operation);
