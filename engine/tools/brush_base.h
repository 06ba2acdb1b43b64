// ITzBrushBase: a brush tip (an 8-bit coverage mask with a one-pixel empty border), the
// tip at any pointer pressure through a pyramid of reduced tips, its sub-pixel shifted
// forms, and the dab rectangles the brush tools stamp it into.
#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"

struct _tagPTzMOUSEPOINT;

// Option flags of a ready-made tip, read by the brush functions.
constexpr uint32_t ITzBRUSHINFO_PRESS_SIZE = 0x1;
constexpr uint32_t ITzBRUSHINFO_PRESS_OPACITY = 0x2;

// A ready-made tip handed to SetITzBrush; the brush copies the bytes.
struct _tagITzBRUSHBRUSHINFO {
    int16_t size;     // nominal diameter in pixels, the base of the step
    int16_t width;    // border included
    int16_t height;
    int16_t stride;   // bytes a row
    const uint8_t* pixels;  // height x stride tip bytes
    int16_t step;     // dab spacing in percent of the size
    uint32_t options; // ITzBRUSHINFO_* flags
};

// Pressure levels: level k (0-8) stands for the scale s(k) / 255 with s(0) = 255 and
// s(k) = 256 >> k otherwise. Level k of the pyramid is the tip reduced by 2^k.
constexpr uint32_t ITzBRUSH_LEVEL_COUNT = 9;
constexpr uint32_t ITzBRUSH_REDUCED_COUNT = 7;  // levels 1 to 7 are kept

class LUMATRA_API ITzBrushBase {
public:
    ITzBrushBase();
    // Copies own their tip bytes; the pyramid, the pressure tip and the shifted-tip
    // buffer are rebuilt on demand, never shared.
    ITzBrushBase(const ITzBrushBase& other);
    ITzBrushBase& operator=(const ITzBrushBase& other);

    // Slot 0: frees the tip, the shifted-tip buffer, the pressure tip and the pyramid.
    virtual ~ITzBrushBase();
    // Slot 1: describes the tip (made first when there is none): 1, or 0 (record
    // unchanged) for a null record or when no tip can be had.
    virtual int GetBitmap(_tagITzBITMAP* bitmap);
    // Slot 2: the tip at a pressure (255 = full size): 1, or 0 when none can be had. The
    // record stays valid until the next pressure tip of this brush or a change of its tip.
    virtual int GetPressBitmap(_tagITzBITMAP* bitmap, uint8_t pressure);
    // Slots 3-5: the tip (full, at a pressure, or any tip) shifted by fx / 16 and fy / 16
    // pixel (both taken modulo 16). The result is (W - 1) x (H - 1) pixels with the
    // stride of the tip it was made from, in the brush's shifted-tip buffer, valid until
    // the next shifted tip of this brush: 1, or 0.
    virtual int GetAntiBrush(_tagITzBITMAP* bitmap, int32_t fx, int32_t fy);
    virtual int GetAntiPressBrush(_tagITzBITMAP* bitmap, int32_t fx, int32_t fy, uint8_t pressure);
    virtual int GetAntiBrushByBitmap(_tagITzBITMAP* out, const _tagITzBITMAP* tip, int32_t fx, int32_t fy);
    // Slots 6-7: the content size of the tip a shifted tip was made from (0 for null).
    virtual uint32_t GetBrushWidthByAnti(const _tagITzBITMAP* bitmap);
    virtual uint32_t GetBrushHeightByAnti(const _tagITzBITMAP* bitmap);
    // Slot 8: 1 soft tip and pyramid scaling, 0 hard tip and nearest-pixel scaling; a
    // change calls SoftChanged.
    virtual void SetSoft(int soft);
    // Slot 9: the tip centred in an 8-bit mode-6 bitmap, scaled down to fit when larger:
    // 1, or 0 when the target is not such a bitmap or there is no tip.
    virtual int GetDisplayBitmap(_tagITzBITMAP* bitmap);
    // Slot 10: makes the tip; the base cannot make one and returns 0.
    virtual int PrepareBrush();
    // Slot 11: drops every tip made for the old soft flag (tip, pyramid, pressure tip,
    // shifted-tip buffer); a tip given through SetITzBrush is kept, nothing could remake it.
    virtual void SoftChanged();
    // Slot 12: a level of the pyramid (0 the tip itself), made from the level before when
    // missing and `create` is nonzero: 1, or 0 for a null record, level 8 or more, or a
    // level that does not exist.
    virtual int GetCacheBitmap(_tagITzBITMAP* bitmap, uint32_t level, int create);
    // Slot 13: makes a missing level 1-7 from the level before: 1, or 0.
    virtual int CreateCacheBitmap(uint32_t level);
    // Slot 14: the size of a level, border included: 1, or 0 for null or level 8 or more.
    virtual int GetCacheBitmapSize(_tagPTzSIZE* size, uint32_t level);

    // Copies a ready-made tip, resets the pyramid and the pressure tip and builds the
    // pyramid; step = (size x step% + 50) / 100, at least 1; soft flag 1. 1 when the tip
    // was copied, 0 (brush unchanged) for null, a bad size or no memory.
    int SetITzBrush(const _tagITzBRUSHBRUSHINFO* info);

    uint32_t GetStep() const { return m_step; }
    void SetStep(uint32_t step) { m_step = step; }
    // Content size: width and height without the border.
    uint32_t GetWidth() const;
    uint32_t GetHeight() const;

    // Makes every missing level 1-7 once (until the tip changes) and sets the prepared
    // flag: 1, or 0 without a tip.
    int PrepareCacheBitmap();
    void ReleaseCacheBitmap();
    // The deepest useful level: for each side the least c with 2^c > side - 3.
    uint32_t GetMaxLevel() const;
    // s(level), 0 for level 9 or more.
    static uint32_t GetCacheLevelPress(uint32_t level);
    // The level of a pressure; `exact` (may be null) tells whether the pressure names it.
    static uint32_t GetPressCacheLevel(uint8_t pressure, int* exact);

    // Dab placement from a pointer sample (1/16 pixel): the tip and its rectangle in
    // picture pixels. False (nothing changed) for null arguments or without a tip.
    bool GetBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap);
    bool GetPressBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap);
    bool GetAntiBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap);
    bool GetPressAntiBrushInfo(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap);

    // GetPressAntiBrushInfo in steps. Start keeps the rectangle and bitmap pointers and the
    // sample's x, y and pressure: a job, or null for a null argument or no memory. Run:
    // 1 after making the pressure tip, 1 after making the shifted tip and the rectangle,
    // then 0; 0 at once on failure. End frees the job and returns 1 when the dab was made
    // (rectangle and bitmap filled), else 0.
    void* GetPressAntiBrushInfoStart(const _tagPTzMOUSEPOINT* point, PTzRECT* rect, _tagITzBITMAP* bitmap);
    int GetPressAntiBrushInfoRun(void* job);
    int GetPressAntiBrushInfoEnd(void* job);

protected:
    // Replaces the tip by an owned zeroed width x height block (stride = width): the
    // bytes, or null (tip unchanged) when the size is empty or memory is short.
    uint8_t* NewTip(uint32_t width, uint32_t height);
    void ReleaseTip();
    void ReleasePressTip();
    void ReleaseAntiBuffer();
    // A shifted-tip buffer of at least `bytes`, grown when smaller: null when short.
    uint8_t* AntiBuffer(uint64_t bytes);

    uint32_t m_width = 1;   // border included
    uint32_t m_height = 1;
    uint32_t m_stride = 1;
    uint8_t* m_pixels = nullptr;
    uint32_t m_step = 1;    // dab spacing in pixels
    uint8_t* m_antiBuffer = nullptr;
    int m_soft = 1;
    _tagITzBITMAP m_reduced[ITzBRUSH_REDUCED_COUNT] = {};  // levels 1 to 7
    _tagITzBITMAP m_pressTip = {};
    uint8_t m_pressTipPressure = 0;  // 0: no pressure tip
    uint32_t m_reducedPrepared = 0;
    uint32_t m_antiBufferSize = 0;
    int m_tipSupplied = 0;  // the tip came from SetITzBrush
    // Soft tips: the tip made for each pressure (256 records), null until used, and the
    // bytes of the tips it holds.
    _tagITzBITMAP* m_pressTipCache = nullptr;
    uint64_t m_pressTipCacheBytes = 0;

private:
    void ReleaseAll();
    void CopyFrom(const ITzBrushBase& other);
    int PressBitmapSoft(_tagITzBITMAP* bitmap, uint8_t pressure);
    int PressBitmapHard(_tagITzBITMAP* bitmap, uint8_t pressure);
    // Takes the tip into the per-pressure records when it fits the budget: true, else
    // false and the caller keeps it.
    bool KeepPressTip(const _tagITzBITMAP& tip, uint8_t pressure);
    bool MakePressTip(_tagITzBITMAP* made, uint8_t pressure, uint32_t level);
};
