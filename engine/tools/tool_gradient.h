// ITzToolGradient: paints a linear or radial two-colour gradient over the picture (or the
// selection's bounds) into the active image layer's floating layer, one 256 x 256 block
// a step, and merges it through the selection as one undo step.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "engine/lumatra_export.h"
#include "engine/tools/tool_floating_base.h"

enum _tagITzGRADIENT_2_TYPE : uint32_t {
    ITzGRADIENT_LINEAR = 0,
    ITzGRADIENT_RADIAL = 1,
};

// The caller's description of a gradient: the points in picture pixels and the colours,
// of which only red, green and blue are used.
struct _tagITzGRADIENTINFO_2 {
    int32_t startX;
    int32_t startY;
    int32_t endX;
    int32_t endY;
    _tagPTzCOLOR startColor;
    _tagPTzCOLOR endColor;
};
static_assert(sizeof(_tagITzGRADIENTINFO_2) == 40, "the gradient information is 40 bytes");

class LUMATRA_API ITzToolGradient : public ITzToolFloatingBase {
public:
    // A job left running is dropped with its floating layer, and the ticket given back.
    ~ITzToolGradient() override;

    // Takes the ticket and a floating layer sized to the area (the picture, cut to the
    // selection's bounds) at the opacity: the job, or null with nothing held for null
    // arguments, a type other than linear or radial, a linear gradient whose start equals
    // its end, while another edit holds the picture, or when the floating layer cannot be
    // had or the area is empty.
    void* DoGradient_2Start(ITzPicture* picture, _tagITzGRADIENT_2_TYPE type, const _tagITzGRADIENTINFO_2* info,
                            uint8_t opacity);
    // Paints the next block (one none of whose pixels is selected is passed over): 1, or 0
    // when no block is left or for null. The progress is not written.
    int DoGradient_2Run(void* handle, uint32_t* progress);
    // Merges the floating layer with undo ('flot'), gives the ticket back and frees the
    // job: 1 when the step was made; 0 for null, or when the merge failed and the
    // floating layer was dropped.
    int DoGradient_2End(void* handle);

private:
    struct Job;
    Job* m_job = nullptr;  // the running job, which the caller's handle names
};
