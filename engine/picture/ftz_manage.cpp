// The process's plug-in list, made from the program's "PlugIn" folder.
#include "engine/picture/ftz_manage.h"

#include <new>

#include "base/file_path.h"
#include "base/program_paths.h"
#include "formats/manager/plugin_manager.h"

namespace {

CFTzManage* g_manage = nullptr;

}  // namespace

CFTzManage::CFTzManage()
{
    _tagPTzFILE program = {};
    _tagPTzFILE folder = {};
    _tagPTzFILE plugins = {};
    if (PTzGetAppPath(&program) && PTzGetSuperFolder(&program, &folder) &&
        PTzGetItemPathInFolder(&folder, &plugins, u"PlugIn"))
        m_list = FTzInit(&plugins);
}

CFTzManage::~CFTzManage()
{
    if (m_list)
        FTzUninit(m_list);
    if (g_manage == this)
        g_manage = nullptr;
}

CFTzManage* CFTzManage::Get()
{
    if (!g_manage)
        g_manage = new (std::nothrow) CFTzManage();
    return g_manage;
}

CFTzManage* CFTzManage::Find()
{
    return g_manage;
}

void CFTzManage::Delete()
{
    delete g_manage;
}
