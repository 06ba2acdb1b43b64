// Quorvel's entry point: the Qt application, then the application object's start-up and
// the event loop; everything ends in the application object's destructor.
#include <QApplication>
#include <vector>

#include "app/shell/application.h"
#include "app/shell/memory_policy.h"
#include "app/shell/shell_strings.h"
#include "app/ui/program_parts.h"

int main(int argc, char** argv)
{
    quorvel::KeepFreedMemory();
    QApplication application(argc, argv);
    QApplication::setApplicationName(quorvel::LoadShellString(quorvel::IDS_APP_NAME));
    QApplication::setOrganizationName(QStringLiteral("Pellidor"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt has taken its own options out of argv; the rest are files, as the system gave them.
    std::vector<QByteArray> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    CTamsleyApp app(MakeProgramParts());
    if (!app.InitInstance(files))
        return 1;
    return QApplication::exec();
}
