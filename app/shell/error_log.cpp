// The log is opened at the first entry of a run: an old file is removed first (only when
// no other copy of the program holds it), so no entries of an earlier, longer run stay
// behind this run's.
#include "app/shell/error_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <ctime>
#include <unistd.h>

#include "app/shell/path_text.h"
#include "base/file.h"
#include "base/file_stream.h"
#include "base/program_paths.h"
#include "base/string_utility.h"

namespace {

Quorvel_ERROR* instance = nullptr;

bool FolderWritable(const QString& folder)
{
    return access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString StateFolder()
{
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isAbsolutePath(configured))
        return configured;
    return qEnvironmentVariable("HOME") + QStringLiteral("/.local/state");
}

// Writes ASCII text and CR LF: true when all was written.
bool WriteLine(_tagPTzIOSTREAM* stream, const char* text)
{
    PTzChar wide[128];
    uint32_t chars = 0;
    for (; text[chars] && chars + 1 < 128; ++chars)
        wide[chars] = PTzChar(text[chars]);
    wide[chars] = 0;
    return PTzWriteStringLine(stream, wide, &chars) != 0;
}

}  // namespace

Quorvel_ERROR::Quorvel_ERROR(const _tagPTzFILE* path)
{
    if (path) {
        m_path = *path;
        m_hasPath = true;
    } else {
        _tagPTzFILE folder;
        m_hasPath = PTzGetAppFolder(&folder) && LogPath(quorvel::TextFromPathRecord(folder), &m_path);
    }
    if (!instance)
        instance = this;
}

Quorvel_ERROR::~Quorvel_ERROR()
{
    if (instance == this)
        instance = nullptr;
    PTzFileStreamDestory(m_stream);
}

Quorvel_ERROR* Quorvel_ERROR::GetErrorLog()
{
    return instance;
}

void Quorvel_ERROR::SetCurrentTool(uint32_t id)
{
    if (instance)
        instance->m_tool = id;
}

void Quorvel_ERROR::WriteEntry()
{
    if (instance)
        instance->Write();
}

bool Quorvel_ERROR::LogPath(const QString& programFolder, _tagPTzFILE* out)
{
    const QString errorFolder = programFolder + QStringLiteral("/Error");
    const bool besideProgram = QFileInfo(errorFolder).isDir() ? FolderWritable(errorFolder)
                                                              : FolderWritable(programFolder);
    const QString path = besideProgram ? errorFolder + QStringLiteral("/Error.dat")
                                       : StateFolder() + QStringLiteral("/Pellidor/Quorvel/Error/Error.dat");
    return quorvel::PathRecordFromText(path, out);
}

bool Quorvel_ERROR::Open()
{
    if (m_stream)
        return true;
    if (!m_hasPath)
        return false;
    if (PTzFileExist(&m_path)) {
        PTzFILEHANDLE held = PTzFileOpen(&m_path, 3);
        if (!held)
            return false;  // another copy of the program is logging there
        PTzFileClose(held);
        PTzFileDelete(&m_path);
    }
    PTzFILEHANDLE created = PTzFileCreateEx(&m_path, 3);
    if (!created)
        return false;
    PTzFileClose(created);
    m_stream = PTzFileStreamCreate(&m_path, 3);
    if (!m_stream)
        return false;
    static const uint8_t byteOrderMark[2] = {0xFF, 0xFE};
    PTzIOStreamWrite(m_stream, byteOrderMark, 2);
    return true;
}

void Quorvel_ERROR::Write()
{
    if (!Open())
        return;
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char line[100];
    std::snprintf(line, sizeof(line), "%.2d/%.2d,%.2d:%.2d:%.2d", utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                  utc.tm_sec);
    WriteLine(m_stream, line);
    char tool[16];
    std::snprintf(tool, sizeof(tool), "Tool = %c%c%c%c", char(m_tool >> 24), char(m_tool >> 16), char(m_tool >> 8),
                  char(m_tool));
    WriteLine(m_stream, tool);
}
