// CToolBase: the front-end of one tool of the tool palette. The tool manager makes one of
// the twenty front-ends current and forwards the view's mouse, key, timer, cursor and idle
// events to it; the front-end turns them into calls on the engine, keeps the tool's
// options and stores them in the settings store under a value named after its id.
//
// Pointer samples arrive in the view's client coordinates; a front-end converts them
// through the view's conversions, to sixteenths of a picture pixel (brush tools, the
// lasso) or to whole pixels (the others). Key flags are the event's Qt modifiers; keys are
// virtual keys (virtual_keys.h).
#pragma once

#include <QPolygon>
#include <cstdint>
#include <string>

#include "base/corvane_types.h"
#include "base/geometry.h"

class CTamsleyView;
class CToolKeyState;
class CToolManager;
class ITzPicture;
class QWidget;
struct _tagPTzMOUSEPOINT;

// The front-ends' ids.
namespace tool_id {
constexpr uint32_t BTET = PTzFourCC("BTET");
constexpr uint32_t MOVE = PTzFourCC("MOVE");
constexpr uint32_t MAGR = PTzFourCC("MAGR");
constexpr uint32_t MACI = PTzFourCC("MACI");
constexpr uint32_t MAGM = PTzFourCC("MAGM");
constexpr uint32_t PAN = PTzFourCC("PAN ");
constexpr uint32_t ZOOM = PTzFourCC("ZOOM");
constexpr uint32_t PEN = PTzFourCC("PEN ");
constexpr uint32_t PENC = PTzFourCC("PENC");
constexpr uint32_t ERAS = PTzFourCC("ERAS");
constexpr uint32_t CLON = PTzFourCC("CLON");
constexpr uint32_t EYED = PTzFourCC("EYED");
constexpr uint32_t LASF = PTzFourCC("LASF");
constexpr uint32_t MAGC = PTzFourCC("MAGC");
constexpr uint32_t SMDG = PTzFourCC("SMDG");
constexpr uint32_t BLUR = PTzFourCC("BLUR");
constexpr uint32_t SHAP = PTzFourCC("SHAP");
constexpr uint32_t GRAD = PTzFourCC("GRAD");
constexpr uint32_t BUCT = PTzFourCC("BUCT");
constexpr uint32_t TEXT = PTzFourCC("TEXT");
}  // namespace tool_id

// The options panel template of the tools without options.
constexpr uint32_t kNoOptionsTemplate = 150;

class CToolBase {
public:
    CToolBase(uint32_t id, uint32_t optionsTemplate, uint32_t paletteButton);
    virtual ~CToolBase() = default;
    CToolBase(const CToolBase&) = delete;
    CToolBase& operator=(const CToolBase&) = delete;

    // Mouse: nonzero when handled. The base press takes the view's tool capture and the
    // release gives it back (1 with a view).
    virtual int OnLButtonDblClk(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    virtual int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    virtual int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    virtual int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view);
    // Keys: nonzero when the tool used the key.
    virtual int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view);
    virtual int OnKeyUp(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view);
    // A tick of the active view's 20 ms timer.
    virtual int OnTimer(CTamsleyView* view);
    // Becoming current shows the tool's palette button pressed: 1.
    virtual int Activate(bool activate);
    // Nonzero when the tool set the view's cursor (x, y: the client point).
    virtual int OnSetCursor(int32_t x, int32_t y, CTamsleyView* view);
    // Nonzero while the tool wants more idle time: in the base, while a gesture runs.
    virtual int OnIdle(CTamsleyView* view);
    virtual int IsBrushTool() const { return 0; }
    virtual uint32_t GetOptionsDialogID() const { return m_optionsTemplate; }
    // The option record from and to the settings store.
    virtual void LoadOptions();
    virtual void SaveOptions();
    // After the picture's Undo or Redo succeeded.
    virtual void OnUndo(CTamsleyView* view);
    virtual void OnRedo(CTamsleyView* view);
    // Over an active layer that is no image layer, the forbidden cursor: 1; else 0.
    virtual int SetForbiddenCursor(CTamsleyView* view);
    // The tool's options panel for the parent, or null for none.
    virtual QWidget* CreateOptionsPanel(QWidget* parent);
    // The option record's bytes; GetOptions is given the room and reports the size used
    // (0: nothing to store).
    virtual void SetOptions(const uint8_t* bytes, uint32_t size);
    virtual void GetOptions(uint8_t* buffer, uint32_t* size);

    uint32_t GetToolID() const { return m_id; }
    uint32_t GetPaletteButton() const { return m_paletteButton; }
    bool IsBusy() const { return m_busy != 0; }

    // The name of a tool's option record: the id's four bytes from the least significant.
    static std::u16string OptionValueName(uint32_t id);

protected:
    // The tool manager, or null.
    static CToolManager* Manager();
    // The held keys, or null without a tool manager.
    static const CToolKeyState* Keys();
    // OnSetCursor's answer: the cursor shown over the view (the forbidden one instead for
    // a tool that paints into the active layer): 1; 0 without a view.
    static int ShowCursor(CTamsleyView* view, uint32_t cursor);
    int ShowPaintingCursor(CTamsleyView* view, uint32_t cursor);

    uint32_t m_busy = 0;

private:
    uint32_t m_optionsTemplate;
    uint32_t m_paletteButton;
    uint32_t m_id;
};

// Held-key tests on a tool event's flags.
bool ShiftIn(uint32_t flags);
bool AltIn(uint32_t flags);

// The view's picture, or null.
ITzPicture* ViewPicture(CTamsleyView* view);
// A sample's client point in picture coordinates through the view's conversions: in
// sixteenths of a pixel (in place) or in whole pixels. False for a null argument or a
// point the conversion cannot express.
bool ToPictureSubpixel(CTamsleyView* view, _tagPTzMOUSEPOINT* sample);
bool ToPicturePixel(CTamsleyView* view, const _tagPTzMOUSEPOINT* sample, PTzPOINT* picture);
// A picture point in the view's client coordinates (saturated at the range's ends).
QPoint PictureToClient(CTamsleyView* view, PTzPOINT picture);
