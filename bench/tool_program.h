// The program with its tool manager and brush library, for the benchmarks that drive the
// tools' front-ends: its application object started as the program starts it, leaving the
// engine and the process alone at its end.
#pragma once

#include <memory>

#include "app/shell/application.h"
#include "app/ui/brush_manager.h"
#include "app/ui/tool_manager.h"

// The started application object; *tools points at its tool manager.
inline std::unique_ptr<CTamsleyApp> StartToolProgram(CToolManager** tools)
{
    CShellParts parts;
    parts.toolManager = [tools] {
        auto made = std::make_unique<CToolManager>();
        *tools = made.get();
        return made;
    };
    parts.brushManager = [] { return std::make_unique<CBrushManager>(); };
    parts.uninitEngine = [] {};
    parts.exitProgram = [] {};
    auto app = std::make_unique<CTamsleyApp>(std::move(parts));
    app->InitInstance();
    return app;
}
