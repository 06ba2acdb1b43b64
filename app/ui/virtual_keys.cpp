// Qt::Key -> virtual key.
#include "app/ui/virtual_keys.h"

#include <Qt>

namespace {

struct KeyPair {
    int qt;
    uint32_t virtualKey;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},         {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},     {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},       {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
};

}  // namespace

uint32_t VirtualKeyFromQt(int key)
{
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return uint32_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + uint32_t(key - Qt::Key_F1);
    for (const KeyPair& pair : kKeys) {
        if (pair.qt == key)
            return pair.virtualKey;
    }
    return 0;
}
