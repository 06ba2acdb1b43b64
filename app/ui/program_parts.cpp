// Fills start-up's makers with the program's own managers and panels; a maker left empty
// leaves its commands doing nothing.
#include "app/ui/program_parts.h"

#include <new>

#include "app/shell/application_printer.h"
#include "app/shell/clipboard_bridge.h"
#include "app/shell/view_editing.h"
#include "app/ui/application_support.h"
#include "app/ui/brush_manager.h"
#include "app/ui/dialog_select_brush.h"
#include "app/ui/program_panels.h"
#include "app/ui/tool_manager.h"
#include "app/ui/view_dialogs.h"

CShellParts MakeProgramParts()
{
    CShellParts parts;
    parts.toolManager = [] { return std::unique_ptr<quorvel::IToolManager>(new (std::nothrow) CToolManager()); };
    parts.brushManager = [] { return std::unique_ptr<quorvel::IBrushManager>(new (std::nothrow) CBrushManager()); };
    parts.brushPicker = [] { return std::unique_ptr<quorvel::IBrushPicker>(new (std::nothrow) CBrushPicker()); };
    parts.applicationSupport = [] { return std::unique_ptr<quorvel::IApplicationSupport>(new (std::nothrow) RApplication()); };
    parts.clipboardBridge = [] {
        return std::unique_ptr<quorvel::IClipboardBridge>(new (std::nothrow) TzClipBoard(std::make_unique<CQtClipboardPort>()));
    };
    parts.viewEditing = [] { return std::unique_ptr<quorvel::IViewEditing>(new (std::nothrow) CViewEditing()); };
    parts.viewDialogs = [] { return std::unique_ptr<quorvel::IViewDialogs>(new (std::nothrow) CViewDialogs()); };
    parts.panels = [] { return std::unique_ptr<quorvel::IPanelProvider>(new (std::nothrow) CProgramPanels()); };
    parts.printSetup = [] { return std::unique_ptr<quorvel::IPrintSetup>(new (std::nothrow) CApplicationPrinter()); };
    return parts;
}
