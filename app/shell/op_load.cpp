// COpLoad: the I/O manager's stepwise load, then the new picture's preview cache built
// step by step under the same runner, so a large file opens with one progress dialog
// and the first paint finds the cache ready.
#include <new>

#include "app/shell/operations.h"
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/image_io_manager.h"
#include "engine/picture/picture.h"

namespace {

// The share of the percentage given to reading the file; the cache takes the rest.
constexpr uint32_t kLoadShare = 80;

}  // namespace

COpLoad::~COpLoad()
{
    Release();
}

int COpLoad::Set(const _tagPTzFILE* file, ITzPicture** picture)
{
    m_file = file;
    m_result = picture;
    return file && picture ? 1 : 0;
}

void COpLoad::Release()
{
    if (m_job)
        m_manager->DoLoadCancel(m_job);
    m_job = nullptr;
    if (m_cacheJob)
        m_picture->PreparePreviewCacheEnd(m_cacheJob);
    m_cacheJob = nullptr;
    if (m_picture)
        ITzPictDestroy(ITzPictSetPictureClass(m_picture));
    m_picture = nullptr;
    m_manager.reset();
}

int COpLoad::Start()
{
    if (m_manager || !m_file || !m_result)
        return 0;
    m_error = 0;
    m_manager.reset(new (std::nothrow) ITzImageIOManager());
    if (!m_manager) {
        m_error = PTzERR_OUT_OF_MEMORY;
        return 0;
    }
    m_job = m_manager->DoLoadStart(m_file);
    if (!m_job) {
        m_error = PTzLastErrorOr(ITzERR_INVALID);
        m_manager.reset();
        return 0;
    }
    return 1;
}

int COpLoad::Step(uint32_t* percent)
{
    uint8_t done = 0;
    if (m_job) {
        if (m_manager->DoLoading(m_job, &done)) {
            if (percent)
                *percent = uint32_t(done) * kLoadShare / 100;
            return 1;
        }
        m_picture = m_manager->DoLoadEnd(m_job);
        m_job = nullptr;
        if (!m_picture) {
            m_error = PTzLastErrorOr(ITzERR_INVALID);
            return 0;
        }
        // Without memory for the job the cache is built on the first paint instead.
        m_cacheJob = m_picture->PreparePreviewCacheStart();
        return m_cacheJob ? 1 : 0;
    }
    if (!m_cacheJob)
        return 0;
    const int more = m_picture->PreparePreviewCacheRun(m_cacheJob, &done);
    if (percent)
        *percent = kLoadShare + uint32_t(done) * (100 - kLoadShare) / 100;
    return more;
}

int COpLoad::Cancel()
{
    Release();
    return 1;
}

int COpLoad::End()
{
    if (m_job) {
        // Ended before the load was complete: a load cut short is a failure.
        m_manager->DoLoadCancel(m_job);
        m_job = nullptr;
        m_error = ITzERR_INVALID;
    }
    if (m_cacheJob)
        m_picture->PreparePreviewCacheEnd(m_cacheJob);
    m_cacheJob = nullptr;
    m_manager.reset();
    if (!m_picture)
        return 0;
    *m_result = m_picture;
    m_picture = nullptr;
    return 1;
}
