// Every code a load or save can give reads as a reason: the system's own words for a
// system error number, a line of the program's own for each of its codes.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/shell/error_text.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"

namespace {

TEST(ErrorText, EachCodeHasAReasonAndSystemNumbersTheSystemsOwnWords)
{
    for (int code : {ENOENT, EACCES, ENOSPC, EROFS, EFBIG, EISDIR, EILSEQ, EIO})
        EXPECT_EQ(quorvel::ErrorReason(code), QString::fromLocal8Bit(strerror(code))) << code;
    const int own[] = {
        PTzERR_BAD_ARGUMENT,   PTzERR_OUT_OF_MEMORY,  PTzERR_CONTAINER_FULL,   PTzERR_COLOR_UNSUPPORTED,
        PTzERR_PATH_BUFFER,    PTzERR_PATH_TOO_LONG,  PTzERR_NO_FREE_NAME,     ITzERR_INIT_FAILED,
        ITzERR_INVALID,        ITzERR_CHANNEL_EXPAND, ITzERR_HAS_LAYERS,       ITzERR_LAYER_ARRAY_FULL,
        ITzERR_ONLY_LAYER,     ITzERR_TOO_MANY_LAYERS, ITzERR_BLOCK_ABSENT,    ITzERR_PREVIEW_REDUCE,
        ITzERR_NO_SAVE_PLUGIN, FTzERR_EMPTY_SLOT,     FTzERR_BAD_HANDLE,       FTzERR_BAD_DATA,
        FTzERR_NO_DESCRIPTION, FTzERR_NO_ID,          FTzERR_NO_SAVE_ENTRY,    FTzERR_SHORT_READ,
        FTzERR_NO_READ_ENTRY,
    };
    const QString unknown = quorvel::ErrorReason(-999999);
    for (int code : own) {
        const QString reason = quorvel::ErrorReason(code);
        EXPECT_FALSE(reason.isEmpty() || reason == unknown || reason.contains(QLatin1Char('('))) << code;
    }
    EXPECT_EQ(quorvel::FileErrorMessage(quorvel::IDS_COULD_NOT_SAVE, QStringLiteral("/full/x.bmp"), ENOSPC),
              QStringLiteral("Could not save \"/full/x.bmp\" because err code: 28 (") +
                  QString::fromLocal8Bit(strerror(ENOSPC)) + QLatin1Char(')'));
}

}  // namespace
