// The print operation's steps. Areas are counted in 64 bits: a Letter page at 1,200 dpi
// holds more pixels than 100 times them fits in 32.
#include "app/shell/op_print.h"

#include <climits>
#include <cstring>

#include "app/shell/bitmap_draw.h"
#include "base/color.h"
#include "engine/picture/picture.h"
#include "engine/pixels/resample.h"

namespace {

constexpr int32_t kBlock = 256;

}  // namespace

COpPrint::~COpPrint()
{
    Release();
}

int COpPrint::RunBilinear(QWidget* dialogParent, ITzPicture* picture, QPainter* painter, const PTzRECT& source,
                          const PTzRECT& dest)
{
    COpPrint print(dialogParent);
    print.Set(picture, painter, &source, &dest, ITzRESAMPLE_BILINEAR);
    return print.Run();
}

int COpPrint::Set(ITzPicture* picture, QPainter* painter, const PTzRECT* source, const PTzRECT* dest,
                  uint32_t resampleType)
{
    m_picture = picture;
    m_painter = painter;
    m_source = source ? *source : PTzRECT{};
    m_dest = dest ? *dest : PTzRECT{};
    m_type = resampleType;
    return 1;
}

void COpPrint::Release()
{
    if (m_setting)
        ITzResize::ResizeReleaseSettingHandle(m_type, m_setting);
    m_setting = nullptr;
    ITzUtilityChannelBitmap::ReleaseBitmap(&m_bitmap);
    m_bitmap = {};
}

int COpPrint::Start()
{
    const auto fits = [](const PTzRECT& rect) {
        return !PTzRectEmpty(&rect) && PTzRectWidth(rect) <= INT32_MAX && PTzRectHeight(rect) <= INT32_MAX;
    };
    if (!m_picture || !m_painter || m_setting || !fits(m_source) || !fits(m_dest))
        return 0;
    const _tagPTzSIZE blockSize = {kBlock, kBlock};
    if (!ITzUtilityChannelBitmap::CreateBitmap(&m_bitmap, &blockSize, 1, 3)) {
        m_bitmap = {};
        return 0;
    }
    m_bitmap.kind = PTzCOLORMODE_ARGB;
    for (int p = 0; p < 4; ++p)
        std::memset(m_bitmap.planes[p], 0xFF, size_t(kBlock) * kBlock);
    PTzRectEnumFill(&m_dest, &m_blocks, nullptr);
    const _tagPTzSIZE sourceSize = {int32_t(PTzRectWidth(m_source)), int32_t(PTzRectHeight(m_source))};
    const _tagPTzSIZE destSize = {int32_t(PTzRectWidth(m_dest)), int32_t(PTzRectHeight(m_dest))};
    m_total = uint64_t(destSize.cx) * uint64_t(destSize.cy);
    m_done = 0;
    m_failed = false;
    const _tagITzRESIZEINPUTPROCINFO input = {&COpPrint::ReadSource, this};
    m_setting = ITzResize::ResizeCreateSettingHandle(m_type, &sourceSize, &destSize, &input);
    if (!m_setting) {
        Release();
        return 0;
    }
    return 1;
}

int COpPrint::ReadSource(PTzRECT* rect, _tagITzCHANNELBITMAP* bitmap, void* user)
{
    auto& self = *static_cast<COpPrint*>(user);
    for (int p = 0; p < 4; ++p) {
        uint8_t* plane = bitmap->planes[p];
        for (int32_t y = 0; plane && y < bitmap->height; ++y)
            std::memset(plane + size_t(y) * size_t(bitmap->stride), 0xFF, size_t(bitmap->width));
    }
    const PTzRECT inPicture = {rect->left + self.m_source.left, rect->top + self.m_source.top,
                               rect->right + self.m_source.left, rect->bottom + self.m_source.top};
    _tagITzZOOMLEVEL one = {1, 1};
    return self.m_picture->GetPreviewData2(&inPicture, bitmap, &one, 1) == 0 ? 1 : 0;
}

int COpPrint::Step(uint32_t* percent)
{
    if (!m_setting)
        return 0;
    PTzRECT block;
    if (!PTzRectEnumGetCurrent(&m_blocks, &block))
        return 0;
    const PTzRECT request = {block.left - m_dest.left, block.top - m_dest.top, block.right - m_dest.left,
                             block.bottom - m_dest.top};
    if (!ITzResize::ResizeGetBlockData(m_type, m_setting, &request, &m_bitmap)) {
        m_failed = true;
        return 0;
    }
    ITzITzChannelBitmapDraw(m_painter, &m_bitmap, &block);
    m_done += uint64_t(PTzRectWidth(block)) * uint64_t(PTzRectHeight(block));
    if (percent)
        *percent = uint32_t(m_done * 100 / m_total);
    return 1;
}

int COpPrint::Cancel()
{
    Release();
    return 1;
}

int COpPrint::End()
{
    const bool printed = m_setting && !m_failed;
    Release();
    return printed ? 1 : 0;
}
