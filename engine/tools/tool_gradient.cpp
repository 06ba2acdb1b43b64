// The gradient tool's job: the floating layer's blocks over the area, each taken as four
// planes, its alpha made 255 and its colours computed by the gradient's shape.
#include "engine/tools/tool_gradient.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/gradient_fill.h"

struct ITzToolGradient::Job {
    ITzPicture* picture;
    ITzLayerImage* floating;
    PTzRECT area;    // picture coordinates
    uint32_t block;  // the next of the floating layer's blocks
    lumatra::GradientShape shape;
};

ITzToolGradient::~ITzToolGradient()
{
    if (m_job) {
        DiscardFloatingLayer(m_job->picture);
        StopEditing(m_job->picture);
        delete m_job;
    }
}

void* ITzToolGradient::DoGradient_2Start(ITzPicture* picture, _tagITzGRADIENT_2_TYPE type,
                                         const _tagITzGRADIENTINFO_2* info, uint8_t opacity)
{
    if (!picture || !info || m_job)
        return nullptr;
    auto* job = new (std::nothrow) Job{picture, nullptr, {}, 0, {}};
    const PTzPOINT start = {info->startX, info->startY}, end = {info->endX, info->endY};
    if (!job || !job->shape.Prepare(type, start, end, info->startColor.components, info->endColor.components) ||
        !StartEditing(picture)) {
        delete job;
        return nullptr;
    }
    _tagPTzSIZE size = {};
    picture->GetSize(&size);
    job->area = {0, 0, size.cx, size.cy};
    if (ITzLayerImage* selection = picture->GetSelectionLayer(0)) {
        PTzRECT bounds;
        selection->GetBounds(&bounds);
        PTzRectIntersect(&job->area, &bounds, &job->area);
    }
    job->floating = PTzRectEmpty(&job->area) ? nullptr : CreateFloatingLayer(picture);
    // Present blocks over the area: each block is painted in place.
    if (!job->floating || job->floating->SetSize(&job->area, 1) != 0) {
        DiscardFloatingLayer(picture);
        StopEditing(picture);
        delete job;
        return nullptr;
    }
    job->floating->SetOpacity(opacity);
    m_job = job;
    return job;
}

int ITzToolGradient::DoGradient_2Run(void* handle, uint32_t* /*progress*/)
{
    auto* job = static_cast<Job*>(handle);
    if (!job || job != m_job || job->block >= job->floating->GetBlockCount())
        return 0;
    const uint32_t index = job->block++;
    PTzRECT block, part;
    if (job->floating->GetBlockPictRect(index, &block) != 0 || !PTzRectIntersect(&block, &job->area, &part))
        return 1;
    ITzLayerImage* selection = job->picture->GetSelectionLayer(0);
    _tagITzCHANNELBITMAP planes;
    if (ITzLayerImage::SelectionIsEmpty(selection, &part) || job->floating->GetColorMode() != PTzCOLORMODE_ARGB ||
        !job->floating->LockBlockToChannelBitmap(index, &planes))
        return 1;
    const PTzRECT inBlock = {part.left - block.left, part.top - block.top, part.right - block.left,
                             part.bottom - block.top};
    for (int32_t y = inBlock.top; y < inBlock.bottom; ++y)
        std::memset(planes.planes[0] + ptrdiff_t(y) * planes.stride + inBlock.left, 255,
                    size_t(inBlock.right - inBlock.left));
    uint8_t* const colours[3] = {planes.planes[1], planes.planes[2], planes.planes[3]};
    job->shape.Fill(colours, planes.stride, inBlock, block.left, block.top);
    job->floating->UnlockChannelBitmapToBlock(index, &planes);
    return 1;
}

int ITzToolGradient::DoGradient_2End(void* handle)
{
    auto* job = static_cast<Job*>(handle);
    if (!job || job != m_job)
        return 0;
    const int merged = MergeFloatingLayer(job->picture);
    if (!merged)
        DiscardFloatingLayer(job->picture);
    StopEditing(job->picture);
    delete job;
    m_job = nullptr;
    return merged;
}
