// CTool_BrushBase: the front-end of the tools that paint dabs along the pointer's path.
// Each stroke gets a fresh engine brush tool with the current brush, colours and the
// tool's options; the pointer samples go to it in sixteenths of a pixel, and while the
// stroke runs the tool asks for idle time, in which the engine paints (and repeats dabs
// while the pointer rests). The tool broadcasts 5153 with its brush index when the index
// changed, for the brush previews of its options panel.
#pragma once

#include <cstdint>
#include <memory>

#include "app/ui/tool_base.h"
#include "base/broadcaster.h"
#include "engine/tools/mouse_track.h"

class ITzToolBrushBase;

// A brush tool's brush index changed; the parameter points to the index.
constexpr uint32_t QVMSG_TOOL_BRUSH_CHANGED = 5153;

class CTool_BrushBase : public CToolBase, public PTzBroadcaster {
public:
    ~CTool_BrushBase() override;

    int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // 1 only when the engine's mouse-up did.
    int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) override;
    // Becoming current settles the brush index against the library.
    int Activate(bool activate) override;
    int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view) override;
    // The engine's idle work until it has none.
    int OnIdle(CTamsleyView* view) override;
    int IsBrushTool() const override { return 1; }
    QWidget* CreateOptionsPanel(QWidget* parent) override;
    void LoadOptions() override { LoadBrushOptions(); }
    void SaveOptions() override { SaveBrushOptions(); }

    // A new engine tool of the tool's kind, set up as the kind needs; null when none.
    virtual std::unique_ptr<ITzToolBrushBase> CreateEngineTool() = 0;
    // Colours, paint mode, opacity, holding support, the brush's pressure flags, press.
    virtual void ApplySettings();
    virtual void ApplyColors();
    // Lowers an index past the library's end to its last brush (an empty library keeps
    // the index) and makes that brush the library's current one.
    virtual void SyncBrush();
    virtual void LoadBrushOptions();
    virtual void SaveBrushOptions();
    // The record's tail: nothing in the base.
    virtual void SetExtraOptions(const uint8_t* bytes, uint32_t size);
    virtual void GetExtraOptions(uint8_t* buffer, uint32_t* size);

    void SetBrushIndex(uint32_t index);
    void OnBrushChanged();
    void SetOpacity(uint8_t opacity) { m_opacity = opacity; }
    void SetPress(uint8_t press) { m_press = press; }
    void SetHoldingSupport(uint32_t holding) { m_holdingSupport = holding; }
    // Only the merge types the engine knows; any other value is ignored.
    void SetPaintMode(uint32_t mode);
    void SetPressureSize(bool on);
    void SetPressureOpacity(bool on);
    // Percent, at most 100; the blur, sharpen and smudge tools paint with it.
    void SetStrength(uint32_t percent);

    uint32_t GetBrushIndex() const { return m_brushIndex; }
    uint8_t GetOpacity() const { return m_opacity; }
    uint8_t GetPress() const { return m_press; }
    uint32_t GetHoldingSupport() const { return m_holdingSupport; }
    uint32_t GetPaintMode() const { return m_paintMode; }
    uint8_t GetPressureFlags() const { return m_pressureFlags; }
    uint8_t GetStrength() const { return m_strengthPercent; }
    // The strength as the engine takes it: (percent x 255 + 50) / 100.
    uint8_t GetEngineStrength() const;
    // The engine tool of the running or last stroke, or null.
    ITzToolBrushBase* GetEngineTool() const { return m_engine.get(); }

protected:
    CTool_BrushBase(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton, uint32_t cursor,
                    uint32_t brushIndex, uint8_t pressureFlags);
    // The cursor over an image layer.
    virtual uint32_t CursorId() const { return m_cursor; }

    std::unique_ptr<ITzToolBrushBase> m_engine;

private:
    uint32_t m_cursor;
    uint32_t m_brushIndex;
    uint32_t m_paintMode = 3;
    uint8_t m_opacity = 255;
    uint8_t m_press = 255;
    uint32_t m_holdingSupport = 0;
    uint8_t m_pressureFlags;
    uint32_t m_idleDone = 1;
    uint8_t m_strengthPercent = 0;
    // The stroke's last sample in picture sixteenths, where a release the view cannot
    // place ends it.
    _tagPTzMOUSEPOINT m_lastSample = {};
};
