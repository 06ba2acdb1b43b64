// The narrow interfaces through which the shell reaches the parts of the program that
// later work builds on it: the tool manager, the brush library and picker, the clipboard
// bridge, the floating panels, the printer set-up and the control kit's support object.
// The application owns one of each that its start-up was given; every user of one
// tolerates its absence, when the commands that need it do nothing.
#pragma once

#include <cstdint>

class QWidget;

namespace quorvel {

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
};

// The three floating panels of the main frame, by their slot.
enum class PanelSlot { Info, Layers, ToolPalette };

class IPanelProvider {
public:
    virtual ~IPanelProvider() = default;
    // The panel's content for the slot, made for the parent; null leaves the slot empty.
    virtual QWidget* CreatePanel(PanelSlot slot, QWidget* parent) = 0;
};

class IPrintSetup {
public:
    virtual ~IPrintSetup() = default;
    // Shows the printer set-up dialog over the parent.
    virtual void Run(QWidget* parent) = 0;
};

// The owned support object of the owner-drawn control kit.
class IApplicationSupport {
public:
    virtual ~IApplicationSupport() = default;
};

}  // namespace quorvel
