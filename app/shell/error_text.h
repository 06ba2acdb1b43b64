// What the user reads when a file cannot be opened or saved: the message's words and
// code, then a short reason a person understands.
#pragma once

#include <QString>

namespace quorvel {

// The reason behind a code: the system's own text for a system error number, one line
// for each code of the engine, the plug-in manager and the plug-ins.
QString ErrorReason(int code);

// "<words><path>" because err code: <code> (<reason>)": words is a string-table id such
// as IDS_COULD_NOT_OPEN; the path is shown as a person reads it.
QString FileErrorMessage(int words, const QString& path, int code);

}  // namespace quorvel
