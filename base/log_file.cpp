// The log file: each write seeks to the end, so the log appends whatever else the
// stream was asked to do.
#include "log_file.h"

#include "error_codes.h"
#include "file_stream.h"
#include "string_utility.h"

PTzLogFile::PTzLogFile(const _tagPTzFILE* file) : m_stream(file ? PTzFileStreamCreate(file, 3) : nullptr) {}

PTzLogFile::~PTzLogFile()
{
    PTzFileStreamDestory(m_stream);
}

int PTzLogFile::WriteString(const PTzChar* text, int newLine)
{
    if (!m_stream || !text) {
        PTzSetLastError(PTzERR_BAD_ARGUMENT);
        return 0;
    }
    PTzIOStreamSeek(m_stream, 0, 2);
    const uint32_t chars = PTzStringLength(text);
    if (PTzWriteString(m_stream, text, chars) != chars)
        return 0;
    return !newLine || PTzWriteReturn(m_stream) ? 1 : 0;
}
