// Fills start-up's makers with the program's own managers and panels; a maker left empty
// leaves its commands doing nothing.
#include "app/ui/program_parts.h"

#include <new>

#include "app/shell/application_printer.h"
#include "app/ui/application_support.h"
#include "app/ui/brush_manager.h"
#include "app/ui/dialog_select_brush.h"
#include "app/ui/program_panels.h"
#include "app/ui/tool_manager.h"

CShellParts MakeProgramParts()
{
    CShellParts parts;
    parts.toolManager = [] { return std::unique_ptr<quorvel::IToolManager>(new (std::nothrow) CToolManager()); };
    parts.brushManager = [] { return std::unique_ptr<quorvel::IBrushManager>(new (std::nothrow) CBrushManager()); };
    parts.brushPicker = [] { return std::unique_ptr<quorvel::IBrushPicker>(new (std::nothrow) CBrushPicker()); };
    parts.applicationSupport = [] { return std::unique_ptr<quorvel::IApplicationSupport>(new (std::nothrow) RApplication()); };
    parts.printSetup = [] { return std::unique_ptr<quorvel::IPrintSetup>(new (std::nothrow) CApplicationPrinter()); };
    parts.panels = [] { return std::unique_ptr<quorvel::IPanelProvider>(new (std::nothrow) CProgramPanels()); };
    return parts;
}
