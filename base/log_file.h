// PTzLogFile: appends UTF-16 lines to a file that already exists, through a write
// stream kept open for the object's life.
#pragma once

#include "corvane_export.h"
#include "corvane_types.h"
#include "file_path.h"
#include "io_stream.h"

class CORVANE_API PTzLogFile {
public:
    // Opens file for writing; a missing or unopenable file leaves the log without a
    // stream (it is never created here).
    explicit PTzLogFile(const _tagPTzFILE* file);
    // Destroys the stream, which writes its window to the file.
    virtual ~PTzLogFile();
    PTzLogFile(const PTzLogFile&) = delete;
    PTzLogFile& operator=(const PTzLogFile&) = delete;

    // Appends text (without its NUL) and, when newLine is nonzero, CR LF: 1 when all of
    // it was written; 0 otherwise, with -1 stored when there is no stream or no text.
    int WriteString(const PTzChar* text, int newLine);

private:
    _tagPTzIOSTREAM* m_stream;
};
