// Saving a document. The picture is written to a new temporary file beside the target and
// moved over it in one synced rename, so the user's file holds either its old contents
// or the whole new picture; any failure leaves the file, the modified state and the undo
// history as they were.
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/shell/document.h"
#include "app/shell/error_text.h"
#include "app/shell/file_filters.h"
#include "app/shell/operations.h"
#include "app/shell/path_text.h"
#include "app/shell/safe_replace.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
#include "formats/manager/save_format.h"

using namespace quorvel;

namespace {

struct SaveOutcome {
    bool saved = false;
    bool cancelled = false;       // by the user: nothing to report
    bool refusedSetting = false;  // the writer refused the kept setting
    int code = 0;
};

SaveOutcome Failed(int code)
{
    SaveOutcome outcome;
    outcome.code = code != 0 ? code : ITzERR_INVALID;
    return outcome;
}

bool InGroup(gid_t group)
{
    if (group == getegid())
        return true;
    std::vector<gid_t> groups(size_t(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(int(groups.size()), groups.data());
    for (int i = 0; i < count; ++i) {
        if (groups[size_t(i)] == group)
            return true;
    }
    return false;
}

// The name a new picture is first offered under: the whole name typed for it, up to a
// "/", which no file name can hold.
QString NameFromTitle(const QString& title)
{
    return title.section(QLatin1Char('/'), 0, 0);
}

// Whether a format without layers loses part of the picture: more than one layer, or
// a text layer whose text could no longer be edited.
bool HoldsLayers(ITzPicture* picture)
{
    const uint16_t count = picture->GetLayerCount();
    ITzLayerBase* only = count == 1 ? picture->GetLayerbyIndex(0) : nullptr;
    return count > 1 || (only && only->GetType() == ITzLAYERTYPE_TEXT);
}

// Writes the picture over the target through a temporary file: no message.
SaveOutcome WriteToPath(void* handle, const QString& path, void* plugIn, bool saveAs, QWidget* window)
{
    _tagPTzFILE named;
    if (!PathRecordFromText(path, &named))
        return Failed(PTzGetLastError());
    // A symbolic link keeps naming the saved file: the temporary goes beside the file it
    // names, on that file's file system.
    _tagPTzFILE target;
    if (!PathRecordFromText(ResolvedLinkTarget(path), &target))
        return Failed(PTzGetLastError());
    CSafeReplace replace;
    if (!replace.Begin(target))
        return Failed(PTzGetLastError());
    COPSave save(window);
    save.Set(ITzPictGetPictureClass(handle), &replace.Temporary(), saveAs ? 1 : 0, plugIn, saveAs ? window : nullptr);
    if (!save.Run()) {
        SaveOutcome outcome = Failed(save.GetError());
        outcome.cancelled = save.WasCancelled() || save.Declined();
        outcome.refusedSetting = save.FailedAtFirstStep() && FTzSaveGetMode(plugIn) == FTzMODE_ROWS;
        return outcome;
    }
    if (!replace.Commit())
        return Failed(PTzGetLastError());
    SaveOutcome outcome;
    outcome.saved = true;
    return outcome;
}

}  // namespace

bool CTamsleyDoc::DoFileSave()
{
    return DoSave(m_pathName, true);
}

bool CTamsleyDoc::DoFileSaveAs()
{
    return DoSave(QString(), true);
}

bool CTamsleyDoc::TargetWritable(const QString& path, int* refusal) const
{
    int code = 0;
    struct stat info {};
    QByteArray native;
    if (!SystemBytesFromText(path, &native))
        code = PTzGetLastError();
    else if (stat(native.constData(), &info) != 0)
        code = errno == ENOENT ? 0 : errno;
    // The permission bits count even for a user the system lets write anything: a file
    // marked read-only is not replaced behind the user's back.
    else if (!(info.st_uid == geteuid() ? (info.st_mode & S_IWUSR) != 0
               : InGroup(info.st_gid)   ? (info.st_mode & S_IWGRP) != 0
                                        : (info.st_mode & S_IWOTH) != 0))
        code = EACCES;
    // The system's own reason otherwise, such as a read-only file system.
    else if (access(native.constData(), W_OK) != 0)
        code = errno;
    if (refusal)
        *refusal = code;
    return code == 0;
}

void* CTamsleyDoc::FormatSavePlugIn() const
{
    int index = 0;
    return PlugInForFormat(SaveFilters(m_picture), ITzPictGetFormat(m_picture), &index);
}

bool CTamsleyDoc::PromptSaveName(QString* path, void** plugIn)
{
    const std::vector<_tagFTzFILTERINFO> records = SaveFilters(m_picture);
    if (records.empty())
        return false;
    int index = 0;
    PlugInForFormat(records, ITzPictGetFormat(m_picture), &index);
    if (!ShellDialogs().AskSaveFileName(m_window, LoadShellString(IDS_SAVE_AS), BuildSaveFilterString(records), path,
                                        &index) ||
        index < 1 || index > int(records.size()))
        return false;
    *plugIn = records[size_t(index - 1)].plugin;
    return true;
}

bool CTamsleyDoc::DoSave(const QString& path, bool replace)
{
    if (!m_picture)
        return false;
    QString target = path;
    void* plugIn = target.isEmpty() ? nullptr : FormatSavePlugIn();
    bool saveAs = false;
    // No path, no plug-in for the picture's format, or a file the user may not write:
    // the Save dialog asks where and how.
    if (!plugIn || !TargetWritable(target)) {
        QString name = !target.isEmpty()       ? target
                       : !m_pathName.isEmpty() ? m_pathName
                       : replace               ? NameFromTitle(m_title)
                                               : QString();
        if (!PromptSaveName(&name, &plugIn))
            return false;
        target = name;
        saveAs = true;
    }
    if (!ConfirmLayersMerged(target, plugIn, saveAs) || !SaveToPath(target, plugIn, saveAs))
        return false;
    if (replace)
        SetPathName(target);
    return true;
}

bool CTamsleyDoc::ConfirmLayersMerged(const QString& path, void* plugIn, bool chosenNow)
{
    if (FTzSaveGetMode(plugIn) == FTzMODE_NATIVE || !HoldsLayers(GetPicture()) ||
        (!chosenNow && path == m_mergeAgreedPath))
        return true;
    const QString question = LoadShellString(IDS_MERGES_LAYERS).arg(DisplayText(QFileInfo(path).fileName()));
    if (ShellDialogs().ShowMessage(m_window, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    m_mergeAgreedPath = path;
    return true;
}

bool CTamsleyDoc::SaveToPath(const QString& path, void* plugIn, bool saveAs)
{
    if (!m_picture)
        return false;
    if (int refusal = 0; !TargetWritable(path, &refusal)) {
        ReportSaveFailure(path, refusal);
        return false;
    }
    SaveOutcome outcome = WriteToPath(m_picture, path, plugIn, saveAs, m_window);
    // A writer that refuses the setting kept from the load or the last save gets its
    // options dialog once, which makes the setting one it can write.
    if (!outcome.saved && !saveAs && outcome.refusedSetting)
        outcome = WriteToPath(m_picture, path, plugIn, true, m_window);
    if (!outcome.saved) {
        if (!outcome.cancelled)
            ReportSaveFailure(path, outcome.code);
        return false;
    }
    GetPicture()->ClearModified();
    m_unsavedChange = false;
    return true;
}

void CTamsleyDoc::ReportSaveFailure(const QString& path, int code) const
{
    ShellDialogs().ShowMessage(m_window, FileErrorMessage(IDS_COULD_NOT_SAVE, path, code), MessageButtons::Ok);
}
