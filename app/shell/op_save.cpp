// COPSave: the I/O manager's stepwise save of a picture to a file, with the picture's own
// plug-in and setting or, for Save As, with a chosen plug-in after its options dialog.
#include <climits>
#include <new>

#include "app/shell/operations.h"
#include "base/error_codes.h"
#include "engine/picture/image_io_manager.h"

namespace {

// Stored as the last error before a Save As starts: the engine refuses a save whose
// options dialog was declined without storing a code of its own, so finding the
// marker still in place tells a declined dialog from a failure.
constexpr int kDeclinedMarker = INT_MIN;

}  // namespace

COPSave::~COPSave()
{
    Release();
}

int COPSave::Set(ITzPicture* picture, const _tagPTzFILE* file, int saveAs, void* plugIn, void* owner)
{
    m_picture = picture;
    m_file = file;
    m_saveAs = saveAs;
    m_plugIn = plugIn;
    m_owner = owner;
    return 1;
}

void COPSave::Release()
{
    if (m_job)
        m_manager->DoSaveCancel(m_job);
    m_job = nullptr;
    m_manager.reset();
}

int COPSave::Start()
{
    if (m_manager)
        return 0;
    m_error = 0;
    m_declined = false;
    m_failedAtFirstStep = false;
    m_steps = 0;
    m_manager.reset(new (std::nothrow) ITzImageIOManager());
    if (!m_manager) {
        m_error = PTzERR_OUT_OF_MEMORY;
        return 0;
    }
    if (m_saveAs) {
        PTzSetLastError(kDeclinedMarker);
        m_job = m_manager->DoSaveAsStart(m_picture, m_file, m_plugIn, m_owner);
    } else {
        m_job = m_manager->DoSaveStart(m_picture, m_file);
    }
    if (!m_job) {
        const int code = PTzGetLastError();
        m_declined = m_saveAs && code == kDeclinedMarker;
        m_error = m_declined ? 0 : code != 0 ? code : ITzERR_INVALID;
        m_manager.reset();
        return 0;
    }
    return 1;
}

int COPSave::Step(uint32_t* percent)
{
    if (!m_job)
        return 0;
    uint8_t done = 0;
    const int more = m_manager->DoSaving(m_job, &done);
    if (percent)
        *percent = done;
    ++m_steps;
    return more;
}

int COPSave::Cancel()
{
    Release();
    return 1;
}

int COPSave::End()
{
    if (!m_job)
        return 0;
    m_error = m_manager->DoSaveEnd(m_job);
    m_job = nullptr;
    m_manager.reset();
    m_failedAtFirstStep = m_error != 0 && m_steps == 1;
    return m_error == 0 ? 1 : 0;
}
