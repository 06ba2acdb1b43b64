// The smudge brush: the transfer it carries (planes of ordinary memory, moved along with
// the pointer), its first filling, and the pick-up and deposit of each dab through the
// picture's selection.
#include "engine/tools/tool_smudge.h"

#include <cstddef>
#include <new>

#include "engine/picture/picture.h"
#include "engine/pixels/layer_image.h"
#include "engine/tools/brush_base.h"
#include "engine/tools/retouch_area.h"
#include "engine/tools/retouch_kernels.h"

using lumatra::RetouchArea;

namespace {

// Dabs narrower than this run through copies of their own width.
constexpr int32_t kOwnRowsBelow = 64;

}  // namespace

ITzToolSmudge::ITzToolSmudge() = default;

ITzToolSmudge::~ITzToolSmudge() = default;

uint32_t ITzToolSmudge::AdjustStep(uint32_t /*step*/)
{
    return 1;
}

bool ITzToolSmudge::PrepareStroke(ITzPicture* /*picture*/)
{
    m_transferReady = false;
    _tagITzBITMAP tip = {};
    if (!m_brush || !m_brush->GetBitmap(&tip))
        return true;
    m_tipSize = {tip.width, tip.height};
    if (!m_transfer)
        m_transfer.reset(new (std::nothrow) RetouchArea());
    return m_transfer && m_transfer->Reserve(tip.width, tip.height, 4);
}

PTzRECT ITzToolSmudge::TransferRect(const _tagPTzMOUSEPOINT& point) const
{
    const int64_t left = (int64_t(point.x) - 8 * int64_t(m_tipSize.cx)) >> 4;
    const int64_t top = (int64_t(point.y) - 8 * int64_t(m_tipSize.cy)) >> 4;
    return {int32_t(left), int32_t(top), int32_t(left + m_tipSize.cx), int32_t(top + m_tipSize.cy)};
}

int ITzToolSmudge::DoPoint(_tagPTzMOUSEPOINT* point, void* picture)
{
    if (!point)
        return 1;
    if (!m_transferReady) {
        InitTransferLayer(static_cast<ITzPicture*>(picture), point);
        return 1;
    }
    m_point = *point;
    return ITzToolBrushNFloatingBase::DoPoint(point, picture);
}

int ITzToolSmudge::InitTransferLayer(ITzPicture* /*picture*/, _tagPTzMOUSEPOINT* point)
{
    m_transferReady = point && m_layer && m_transfer && m_transfer->HasRoom() &&
                      m_transfer->Load(*m_layer, TransferRect(*point));
    return m_transferReady ? 1 : 0;
}

int ITzToolSmudge::RetouchDab(RetouchArea& area, const PTzRECT& dabRect, const _tagITzBITMAP& dab, uint8_t strength)
{
    const PTzRECT carried = TransferRect(m_point);
    PTzRECT rect;
    if (!m_transferReady || !m_transfer->Place(carried, false) || !PTzRectIntersect(&dabRect, &area.Rect(), &rect) ||
        !PTzRectIntersect(&rect, &carried, &rect))
        return m_transferReady ? 1 : 0;
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    // The selection's values under the dab weight the deposit.
    ITzLayerImage* selection = m_pushPicture ? m_pushPicture->GetSelectionLayer(0) : nullptr;
    const uint8_t* values = nullptr;
    int32_t valuesStride = 0;
    if (selection) {
        if (!m_selectionValues)
            m_selectionValues.reset(new (std::nothrow) RetouchArea());
        // Rows of whole 32-bit words, as 8-bit bitmaps have them.
        if (!m_selectionValues || !m_selectionValues->Reserve((width + 3) & ~3, height, 1) ||
            !m_selectionValues->Place(rect, true))
            return 0;
        valuesStride = m_selectionValues->Stride();
        _tagITzBITMAP read = {width, height, valuesStride, 8, int32_t(PTzCOLORMODE_GRAY),
                              m_selectionValues->PlaneAt(rect.left, rect.top)};
        PTzRECT local;
        selection->PRECTtoLRECT(&rect, &local);
        selection->GetRectData(&local, &read);  // outside the selection the values stay 0
        values = read.pixels;
    }
    lumatra::retouch::SmudgeDab smudge = {
        area.At(rect.left, rect.top),
        m_transfer->At(rect.left, rect.top),
        dab.pixels + ptrdiff_t(rect.top - dabRect.top) * dab.stride + (rect.left - dabRect.left),
        dab.stride,
        values,
        valuesStride,
        width,
        height,
        m_strength,
        strength};
    // A small dab is copied into planes of its own width, which the kernels run as one
    // row; a larger one is worked in place.
    const bool copied = !values && width < kOwnRowsBelow && RunCopies(smudge, rect);
    lumatra::retouch::SmudgePickUp(smudge);
    lumatra::retouch::SmudgeDeposit(smudge);
    if (copied) {
        lumatra::CopyPlanes(smudge.layer, area.At(rect.left, rect.top), width, height);
        lumatra::CopyPlanes(smudge.transfer, m_transfer->At(rect.left, rect.top), width, height);
    }
    return 1;
}

bool ITzToolSmudge::RunCopies(lumatra::retouch::SmudgeDab& smudge, const PTzRECT& rect)
{
    for (std::unique_ptr<RetouchArea>* copy : {&m_runLayer, &m_runTransfer, &m_runCoverage})
        if (!*copy)
            copy->reset(new (std::nothrow) RetouchArea());
    if (!m_runLayer || !m_runTransfer || !m_runCoverage || !m_runLayer->Reserve(smudge.width, smudge.height, 4) ||
        !m_runTransfer->Reserve(smudge.width, smudge.height, 4) ||
        !m_runCoverage->Reserve(smudge.width, smudge.height, 1) || !m_runLayer->Place(rect, false) ||
        !m_runTransfer->Place(rect, false) || !m_runCoverage->Place(rect, false))
        return false;
    lumatra::CopyPlanes(smudge.layer, m_runLayer->At(rect.left, rect.top), smudge.width, smudge.height);
    lumatra::CopyPlanes(smudge.transfer, m_runTransfer->At(rect.left, rect.top), smudge.width, smudge.height);
    const lumatra::retouch::Planes coverage = {{const_cast<uint8_t*>(smudge.coverage)}, smudge.coverageStride};
    lumatra::CopyPlanes(coverage, m_runCoverage->At(rect.left, rect.top), smudge.width, smudge.height, 1);
    smudge.layer = m_runLayer->At(rect.left, rect.top);
    smudge.transfer = m_runTransfer->At(rect.left, rect.top);
    smudge.coverage = m_runCoverage->PlaneAt(rect.left, rect.top);
    smudge.coverageStride = smudge.width;
    return true;
}

void ITzToolSmudge::OnMouseActionEnd()
{
    if (m_transfer)
        m_transfer->Release();
    for (RetouchArea* planes : {m_selectionValues.get(), m_runLayer.get(), m_runTransfer.get(), m_runCoverage.get()})
        if (planes)
            planes->Release();
    m_transferReady = false;
    ITzToolBrushNFloatingBase::OnMouseActionEnd();
}
