// The narrow interfaces through which the shell reaches the parts of the program that
// later work builds on it: the tool manager (with the views' events for the current
// tool), the brush library and picker, the clipboard bridge, the floating panels, the
// printer set-up, the control kit's support object, the views' editing keys and the
// dialogs of the views' commands.
// The application owns one of each that its start-up was given; every user of one
// tolerates its absence, when the commands that need it do nothing.
#pragma once

#include <cstdint>
#include <memory>

class CTamsleyView;
class ITzLayerBase;
class ITzPicture;
class QWidget;
struct _tagPTzCOLOR;
struct _tagPTzMOUSEPOINT;

namespace quorvel {

class CPrinterDC;

// The views' events for the current tool, which the tool manager forwards after applying
// its temporary-tool keys. A mouse sample holds the pointer's client coordinates in the
// view and the pen pressure (0 in a release, 255 in a double click); flags are the
// event's Qt::KeyboardModifiers, keys Qt::Key codes with their auto-repeat count.
class IViewTools {
public:
    virtual ~IViewTools() = default;
    virtual int OnLButtonDown(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) = 0;
    virtual int OnLButtonUp(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) = 0;
    virtual int OnLButtonDblClk(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) = 0;
    virtual int OnMouseMove(uint32_t flags, _tagPTzMOUSEPOINT* point, CTamsleyView* view) = 0;
    // Nonzero when the tool set the view's cursor for the client point.
    virtual int OnSetCursor(CTamsleyView* view, int32_t x, int32_t y) = 0;
    // Nonzero when the tool used the key.
    virtual int OnKeyDown(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) = 0;
    virtual int OnKeyUp(uint32_t key, uint32_t repeat, uint32_t flags, CTamsleyView* view) = 0;
    // A key pressed or released with Alt held (or F10): the temporary-tool check.
    virtual int OnSysKey() = 0;
    // Nonzero while the current tool wants more idle time.
    virtual int OnIdle(CTamsleyView* view) = 0;
    // A tick of the active view's 20 ms timer, for the current tool.
    virtual void OnTimer(CTamsleyView* view) = 0;
    // The view is going away with its picture: a gesture still running in it ends there,
    // so no tool keeps hold of the picture or waits for a release that cannot come.
    virtual void OnViewClosing(CTamsleyView*) {}
};

class IToolManager {
public:
    virtual ~IToolManager() = default;
    // Makes the tool with that four-character id current: nonzero when a tool is current.
    virtual int SelectTool(uint32_t id) = 0;
    // Loads every tool's options and the current tool; told whether the brushes loaded.
    virtual void LoadSettings(int brushesLoaded) = 0;
    // The current tool's options panel, made for the parent, or null for none.
    virtual QWidget* CreateOptionsPanel(QWidget* parent) = 0;
    // When the current tool paints with a brush: true and its brush index.
    virtual bool CurrentBrushIndex(uint32_t* index) = 0;
    // Gives the current brush tool the brush at index.
    virtual void SetCurrentBrush(uint32_t index) = 0;
    // Where the views send their events; null (as here) when no tool takes them.
    virtual IViewTools* GetViewTools() { return nullptr; }
    // After the view's Undo or Redo command changed its picture, for the current tool
    // (the text tool refreshes its panel); nothing without one (as here).
    virtual void OnUndo(CTamsleyView*) {}
    virtual void OnRedo(CTamsleyView*) {}
};

class IBrushManager {
public:
    virtual ~IBrushManager() = default;
    // Reads the brush file: nonzero when it was read.
    virtual int Load() = 0;
    virtual uint32_t GetBrushCount() = 0;
};

class IBrushPicker {
public:
    virtual ~IBrushPicker() = default;
    // Lets the user pick one of count brushes, starting on start: true with the choice.
    virtual bool Pick(QWidget* parent, uint32_t count, uint32_t start, uint32_t* chosen) = 0;
};

class IClipboardBridge {
public:
    virtual ~IClipboardBridge() = default;
    // The size of the image the clipboard offers: nonzero when it offers one.
    virtual int GetImageSize(int32_t* width, int32_t* height) = 0;
    // The program became active or inactive.
    virtual void OnAppActivate(bool active) = 0;
    // The picture's selected pixels kept for the next paste (Cut also takes them out of
    // the picture): nonzero when a layer was kept. Without a bridge (as here) nothing is.
    virtual int Copy(ITzPicture*) { return 0; }
    virtual int Cut(ITzPicture*) { return 0; }
    // Inserts what was copied, or the clipboard's image, as the picture's new active layer.
    virtual void Paste(ITzPicture*) {}
};

// The three floating panels of the main frame, by their slot.
enum class PanelSlot { Info, Layers, ToolPalette };

class IPanelProvider {
public:
    virtual ~IPanelProvider() = default;
    // The panel's content for the slot, made for the parent; null leaves the slot empty.
    virtual QWidget* CreatePanel(PanelSlot slot, QWidget* parent) = 0;
    // The layers panel shows the picture of the active view (null: none); without a
    // layers panel (as here) nothing happens.
    virtual void ShowLayersOf(ITzPicture*) {}
};

// The application's printer: its set-up dialog and the DCs prints are made on.
class IPrintSetup {
public:
    virtual ~IPrintSetup() = default;
    // Shows the printer set-up dialog over the parent (Print Setup, and the Print
    // dialog's Page Setup): true when the user accepted, the printer, its paper and its
    // layout then being the ones chosen.
    virtual bool Run(QWidget* parent) = 0;
    // A DC on the application's printer; null when there is no printer.
    virtual std::unique_ptr<CPrinterDC> CreatePrinterDC() = 0;
};

// The view's editing keys: Shift+Backspace and Ctrl+Backspace fill the selection with the
// front or back colour at full opacity, Delete removes the selected pixels.
class IViewEditing {
public:
    virtual ~IViewEditing() = default;
    virtual void FillSelection(CTamsleyView* view, const _tagPTzCOLOR& colour) = 0;
    virtual void ClearSelection(CTamsleyView* view) = 0;
};

// The size, resolution and resampling the Resize dialog was left with.
struct CImageResizeChoice {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t dotsPerMetre = 0;
    uint32_t resampleMode = 2;  // 0 nearest neighbour, 1 bilinear; 2 while unset
};

// The dialogs of the views' commands, which stand on the control kit. Each runs modally
// over the parent and answers false when cancelled.
class IViewDialogs {
public:
    virtual ~IViewDialogs() = default;
    // Fill Color: the opacity chosen, 0..255.
    virtual bool AskFillOpacity(QWidget* parent, uint8_t* opacity) = 0;
    // Resize for the picture.
    virtual bool AskImageResize(QWidget* parent, ITzPicture* picture, CImageResizeChoice* choice) = 0;
    // Layer Properties of the layer; OK applies its name and opacity as one undo step.
    virtual bool EditLayerProperties(QWidget* parent, ITzLayerBase* layer) = 0;
    // Set Active Layer, told the layer count and starting on *index: the index typed.
    virtual bool AskActiveLayer(QWidget* parent, uint16_t count, uint16_t* index) = 0;
    // The Testing Dialog, listing the picture's layers as the layers panel does; it comes
    // with the layers panel's list (nothing here).
    virtual void RunTestingDialog(QWidget*, ITzPicture*) {}
};

// The owned support object of the owner-drawn control kit.
class IApplicationSupport {
public:
    virtual ~IApplicationSupport() = default;
};

}  // namespace quorvel
