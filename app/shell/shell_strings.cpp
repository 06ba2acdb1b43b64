// The string table's texts.
#include "app/shell/shell_strings.h"

namespace quorvel {

QString LoadShellString(int id)
{
    switch (id) {
    case IDS_APP_NAME:
        return QStringLiteral("Quorvel");
    case IDS_NO_NAME:
        return QStringLiteral("NoName");
    case IDS_SAVE_AS:
    case IDS_SAVE_AS_CAPTION:
        return QStringLiteral("Save As");
    case IDS_BECAUSE:
        return QStringLiteral("\" because ");
    case IDS_ERR_CODE:
        return QStringLiteral("err code: ");
    case IDS_ALL_FORMATS:
        return QStringLiteral("All Formats");
    case IDS_COULD_NOT_OPEN:
        return QStringLiteral("Could not open \"");
    case IDS_COULD_NOT_SAVE:
        return QStringLiteral("Could not save \"");
    case IDS_ALREADY_EXISTS:
        return QStringLiteral(" already exists.\nDo you want to replace it?");
    case IDS_PRINT_TO_FILE:
        return QStringLiteral("Print to File");
    case IDS_PDF_FILTER:
        return QStringLiteral("PDF File (*.pdf)|*.pdf||");
    case IDS_MERGES_LAYERS:
        return QStringLiteral("The file type chosen for \"%1\" cannot keep layers: the file will hold the "
                              "picture's layers merged into one, and text will no longer be editable.\n"
                              "Save it anyway?");
    case IDS_SAVE_CHANGES:
        return QStringLiteral("Save changes to %1?");
    case IDS_NEW_SIZE_RANGE:
        return QStringLiteral("Width and height must be whole numbers from 1 to 30000.");
    case IDS_NAME_SHOWN_ALIKE:
        return QStringLiteral("\"%1\" could mean more than one file here: their names differ only in bytes "
                              "shown as \uFFFD.\nChoose the file in the list.");
    case IDS_LAYER:
        return QStringLiteral("Layer");
    case IDS_SHOW_LAYER:
        return QStringLiteral("Show &Layer");
    case IDS_HIDE_LAYER:
        return QStringLiteral("Hide &Layer");
    case IDS_SHOW_TOOL:
        return QStringLiteral("Show &Tool");
    case IDS_HIDE_TOOL:
        return QStringLiteral("Hide &Tool");
    case IDS_SHOW_INFO:
        return QStringLiteral("Show &Info");
    case IDS_HIDE_INFO:
        return QStringLiteral("Hide &Info");
    default:
        return {};
    }
}

}  // namespace quorvel
