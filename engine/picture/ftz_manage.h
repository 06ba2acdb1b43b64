// The engine's connection to the format plug-in manager: one plug-in list per process,
// loaded from the "PlugIn" folder beside the running program on first use.
#pragma once

#include "engine/lumatra_export.h"

class LUMATRA_API CFTzManage {
public:
    // Loads the plug-ins; the list stays null when none could be loaded.
    CFTzManage();
    // Unloads the plug-ins and forgets the process's instance when it is this one.
    virtual ~CFTzManage();

    void* GetList() const { return m_list; }

    // The process's instance, made on first use; null when out of memory.
    static CFTzManage* Get();
    // The process's instance when it exists, without loading the plug-ins.
    static CFTzManage* Find();
    // Deletes the process's instance (engine shut-down).
    static void Delete();

private:
    void* m_list = nullptr;
};
