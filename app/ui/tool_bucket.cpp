// The bucket's fill.
#include "app/ui/tool_bucket.h"

#include <new>

#include "app/shell/current_colours.h"
#include "app/shell/picture_view.h"
#include "app/ui/tool_cursors.h"
#include "app/ui/tool_options_panels.h"
#include "engine/tools/tool_bucket.h"

namespace {
constexpr uint32_t kBucketTemplate = 180;
}

CTool_Bucket::CTool_Bucket() : CToolBase(tool_id::BUCT, kBucketTemplate, 1082) {}

int CTool_Bucket::OnLButtonDown(uint32_t, _tagPTzMOUSEPOINT* point, CTamsleyView* view)
{
    m_busy = 1;
    ITzPicture* picture = ViewPicture(view);
    CImageDataManager* colours = CImageDataManager::GetImageDataManager();
    PTzPOINT at;
    if (!picture || !colours || !ToPicturePixel(view, point, &at))
        return 1;
    _tagPTzCOLOR front = {};
    colours->GetFrontColor(&front);
    ITzToolBucket bucket;
    bucket.FillData(picture, &front, &at, m_tolerance, int(m_contiguous != 0), m_opacity);
    return 1;
}

int CTool_Bucket::OnMouseMove(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    return 1;
}

int CTool_Bucket::OnLButtonUp(uint32_t, _tagPTzMOUSEPOINT*, CTamsleyView*)
{
    m_busy = 0;
    return 1;
}

int CTool_Bucket::OnSetCursor(int32_t, int32_t, CTamsleyView* view)
{
    return ShowPaintingCursor(view, IDC_TOOL_BUCKET);
}

QWidget* CTool_Bucket::CreateOptionsPanel(QWidget* parent)
{
    return new (std::nothrow) CToolOptionsBucket(this, parent);
}
