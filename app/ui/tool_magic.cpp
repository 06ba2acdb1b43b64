// The magic wand's press and record.
#include "app/ui/tool_magic.h"

#include <new>

#include "app/ui/tool_option_records.h"
#include "app/ui/tool_options_panels.h"

namespace {
constexpr uint32_t kMagicTemplate = 176;
}

CTool_Magic::CTool_Magic() : CTool_Marquee_Base(tool_id::MAGC, kMagicTemplate, 1076) {}

int CTool_Magic::BeginGesture(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    PTzPOINT pressed;
    if (!ToPicturePixel(view, point, &pressed))
        return 0;
    m_busy = 1;
    if (std::unique_ptr<ITzToolMask> mask = NewMask())
        mask->CreateMagicSelection(ViewPicture(view), &pressed, m_tolerance, int32_t(m_operation),
                                   int(m_contiguous != 0));
    return 1;
}

void CTool_Magic::SetOptions(const uint8_t* bytes, uint32_t size)
{
    DecodeWandRecord(bytes, size, &m_tolerance, &m_contiguous);
}

void CTool_Magic::GetOptions(uint8_t* buffer, uint32_t* size)
{
    if (size)
        *size = EncodeWandRecord(m_tolerance, m_contiguous, buffer, *size);
}

QWidget* CTool_Magic::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsMagic(this, parent);
}
