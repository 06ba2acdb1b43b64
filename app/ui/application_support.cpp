// The kit's support object and its image lookup.
#include "app/ui/application_support.h"

#include "app/ui/bitmap_load.h"

namespace {

RApplication* global = nullptr;

}  // namespace

RApplication::RApplication(QString root) : m_root(std::move(root))
{
    // The images are compiled into the program's static user-interface library: naming
    // them here keeps the linker from leaving them out.
    Q_INIT_RESOURCE(controls);
    if (!global)
        global = this;
}

RApplication::~RApplication()
{
    if (global != this)
        return;
    RBitmapLoad::DeleteGlobal();
    global = nullptr;
}

RApplication* RApplication::Get()
{
    return global;
}

QString RApplication::GetModuleHandle()
{
    return global ? global->m_root : QString();
}

QPixmap RApplication::LoadImage(int id)
{
    if (!global)
        return {};
    return QPixmap(global->m_root + QLatin1Char('/') + QString::number(id) + QStringLiteral(".png"));
}
