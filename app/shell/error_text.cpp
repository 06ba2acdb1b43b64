// System error numbers are positive and take strerror's text in the user's language;
// the system's own codes are negative and come from the one table of error_codes.h.
#include "app/shell/error_text.h"

#include <cstring>

#include "app/shell/path_text.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"

namespace quorvel {

QString ErrorReason(int code)
{
    if (code > 0)
        return QString::fromLocal8Bit(std::strerror(code));
    switch (code) {
    case PTzERR_BAD_ARGUMENT:
        return QStringLiteral("the request was not valid");
    case PTzERR_OUT_OF_MEMORY:
    case ITzERR_CHANNEL_EXPAND:
        return QStringLiteral("not enough memory");
    case PTzERR_CONTAINER_FULL:
        return QStringLiteral("too many items are open");
    case PTzERR_COLOR_UNSUPPORTED:
        return QStringLiteral("the picture's colours cannot be converted for this file type");
    case PTzERR_PATH_BUFFER:
    case PTzERR_PATH_TOO_LONG:
        return QStringLiteral("the path is too long: at most 259 characters");
    case PTzERR_NO_FREE_NAME:
        return QStringLiteral("no free name for a temporary file in the folder");
    case ITzERR_INIT_FAILED:
        return QStringLiteral("the picture engine could not start");
    case ITzERR_INVALID:
        return QStringLiteral("the picture could not be read or made: damaged data, or not enough memory");
    case ITzERR_HAS_LAYERS:
        return QStringLiteral("the picture has layers");
    case ITzERR_LAYER_ARRAY_FULL:
    case ITzERR_TOO_MANY_LAYERS:
        return QStringLiteral("too many layers");
    case ITzERR_ONLY_LAYER:
        return QStringLiteral("the only layer cannot be removed");
    case ITzERR_BLOCK_ABSENT:
        return QStringLiteral("part of the picture's data is missing");
    case ITzERR_PREVIEW_REDUCE:
        return QStringLiteral("the preview could not be made");
    case ITzERR_NO_SAVE_PLUGIN:
        return QStringLiteral("no file type can save this picture");
    case FTzERR_EMPTY_SLOT:
        return QStringLiteral("no file type module is loaded for this");
    case FTzERR_BAD_HANDLE:
        return QStringLiteral("the file type module could not go on with this file");
    case FTzERR_BAD_DATA:
        return QStringLiteral("not a picture file of a kind this program reads: not a BMP file, or a compression "
                              "or colour depth it does not support");
    case FTzERR_NO_DESCRIPTION:
    case FTzERR_NO_ID:
        return QStringLiteral("a file type module is damaged");
    case FTzERR_NO_SAVE_ENTRY:
        return QStringLiteral("this file type can only be opened, not saved");
    case FTzERR_SHORT_READ:
        return QStringLiteral("the file is truncated");
    case FTzERR_NO_READ_ENTRY:
        return QStringLiteral("this file type can only be saved, not opened");
    default:
        return QStringLiteral("unknown error");
    }
}

QString FileErrorMessage(int words, const QString& path, int code)
{
    return LoadShellString(words) + DisplayText(path) + LoadShellString(IDS_BECAUSE) + LoadShellString(IDS_ERR_CODE) +
           QString::number(code) + QStringLiteral(" (") + ErrorReason(code) + QLatin1Char(')');
}

}  // namespace quorvel
