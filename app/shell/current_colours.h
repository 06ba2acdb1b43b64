// CImageDataManager: the current colours (front, back and the two of the transparency
// checkerboard), kept in the settings store between runs; every change of the front or
// back colour is broadcast (5151, 5152) with the stored record to the listeners that
// joined (PTzListener::AddToBroadcaster).
#pragma once

#include <cstdint>

#include "base/broadcaster.h"
#include "base/color.h"

enum : uint32_t {
    QVMSG_FRONT_COLOR_CHANGED = 5151,
    QVMSG_BACK_COLOR_CHANGED = 5152,
};

class CImageDataManager : public PTzBroadcaster {
public:
    // The initial colours, replaced by those stored; the first instance becomes the
    // process's own.
    CImageDataManager();
    // Stores the four colours; the process's own instance is then none.
    ~CImageDataManager() override;

    // The process's instance: the one the application made at start-up, or null. (One
    // made here on demand would have no owner to store its colours at the end.)
    static CImageDataManager* GetImageDataManager();

    // A colour with alpha 0 is stored opaque in mode 3. Null does nothing.
    void SetFrontColor(const _tagPTzCOLOR* colour);
    void SetBackColor(const _tagPTzCOLOR* colour);
    void GetFrontColor(_tagPTzCOLOR* colour) const;
    void GetBackColor(_tagPTzCOLOR* colour) const;
    void GetCheckerColor1(_tagPTzCOLOR* colour) const;
    void GetCheckerColor2(_tagPTzCOLOR* colour) const;

    // The palette's buttons: each colour takes the other (front first); black front and
    // white back.
    void SwapColors();
    void ResetColors();

private:
    void SetColour(_tagPTzCOLOR* stored, const _tagPTzCOLOR* colour, uint32_t message);

    _tagPTzCOLOR m_front;
    _tagPTzCOLOR m_back;
    _tagPTzCOLOR m_checker1;
    _tagPTzCOLOR m_checker2;
};
