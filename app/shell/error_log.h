// Quorvel_ERROR: a small diagnostic log, "Error.dat" in the folder "Error" beside the
// program when that folder can be written, else under $XDG_STATE_HOME. It knows the
// current tool and, when the view finds the picture's editing lock left behind by an
// idle tool, writes the time and that tool. Each run's log starts afresh with its first
// entry: UTF-16 text behind a byte-order mark, two lines per entry.
#pragma once

#include <QString>
#include <cstdint>

#include "base/file_path.h"
#include "base/io_stream.h"

class Quorvel_ERROR {
public:
    // The log at path, or (null) at its usual place; the first instance becomes the
    // process's own.
    explicit Quorvel_ERROR(const _tagPTzFILE* path = nullptr);
    ~Quorvel_ERROR();
    Quorvel_ERROR(const Quorvel_ERROR&) = delete;
    Quorvel_ERROR& operator=(const Quorvel_ERROR&) = delete;

    static Quorvel_ERROR* GetErrorLog();
    // With the process's log only: remember the current tool, write one entry.
    static void SetCurrentTool(uint32_t id);
    static void WriteEntry();

    // The log's usual place for a program in programFolder: its "Error/Error.dat" when
    // that can be written, else "Pellidor/Quorvel/Error/Error.dat" under the state folder
    // ($XDG_STATE_HOME, default ~/.local/state). False when neither fits a path record.
    static bool LogPath(const QString& programFolder, _tagPTzFILE* out);

private:
    bool Open();
    void Write();

    uint32_t m_tool = 0;
    _tagPTzIOSTREAM* m_stream = nullptr;
    _tagPTzFILE m_path = {};
    bool m_hasPath = false;
};
