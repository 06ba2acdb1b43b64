// The document's life apart from saving: making and loading its picture, its modified
// state, the close prompt, and the resize and turn operations on its picture.
#include "app/shell/document.h"

#include <QFileInfo>

#include "app/shell/application.h"
#include "app/shell/error_text.h"
#include "app/shell/layer_naming.h"
#include "app/shell/new_dialog.h"
#include "app/shell/operations.h"
#include "app/shell/path_text.h"
#include "app/shell/settings_store.h"
#include "app/shell/shell_dialogs.h"
#include "app/shell/shell_links.h"
#include "app/shell/shell_strings.h"
#include "base/error_codes.h"
#include "engine/picture/engine_functions.h"
#include "engine/picture/picture.h"

using namespace quorvel;

namespace {

constexpr PTzChar kNewWidth[] = u"New Image Width";
constexpr PTzChar kNewHeight[] = u"New Image Height";

// The stored side when there is one inside the New dialog's range.
void ProposeStoredSide(const PTzChar* name, int32_t* side)
{
    uint32_t stored = 0;
    if (ReadSettingDword(name, &stored) && CNewDialog::SideFits(int32_t(stored)))
        *side = int32_t(stored);
}

}  // namespace

CTamsleyDoc::CTamsleyDoc() = default;

CTamsleyDoc::~CTamsleyDoc()
{
    if (m_picture)
        ITzPictDestroy(m_picture);
}

ITzPicture* CTamsleyDoc::GetPicture() const
{
    return m_picture ? ITzPictGetPictureClass(m_picture) : nullptr;
}

void CTamsleyDoc::SetPictureHandle(void* picture)
{
    if (m_picture && m_picture != picture)
        ITzPictDestroy(m_picture);
    m_picture = picture;
}

int CTamsleyDoc::IsModified() const
{
    ITzPicture* picture = GetPicture();
    return picture && (picture->IsModified() || m_unsavedChange) ? 1 : 0;
}

void CTamsleyDoc::SetPathName(const QString& path)
{
    m_pathName = path;
    m_title = DisplayText(QFileInfo(path).fileName());
}

bool CTamsleyDoc::OnNewDocument()
{
    int32_t width = 1000;
    int32_t height = 800;
    CTamsleyApp* app = CTamsleyApp::Get();
    IClipboardBridge* clipboard = app ? app->GetClipboardBridge() : nullptr;
    int32_t clipWidth = 0;
    int32_t clipHeight = 0;
    if (clipboard && clipboard->GetImageSize(&clipWidth, &clipHeight) && CNewDialog::SideFits(clipWidth) &&
        CNewDialog::SideFits(clipHeight)) {
        width = clipWidth;
        height = clipHeight;
    } else {
        ProposeStoredSide(kNewWidth, &width);
        ProposeStoredSide(kNewHeight, &height);
    }
    QString name;
    if (!ShellDialogs().AskNewImage(m_window, &width, &height, &name) || !CNewDialog::SideFits(width) ||
        !CNewDialog::SideFits(height))
        return false;
    void* picture = ITzPictCreate_1(uint32_t(width), uint32_t(height), nullptr);
    if (!picture)
        return false;
    NameUnnamedLayer(*ITzPictGetPictureClass(picture), 0);
    SetPictureHandle(picture);
    m_pathName.clear();
    m_title = name;
    CSettingsBatch batch(AppSettings());
    WriteSettingDword(kNewWidth, uint32_t(width));
    WriteSettingDword(kNewHeight, uint32_t(height));
    return true;
}

bool CTamsleyDoc::OnOpenDocument(const QString& path)
{
    _tagPTzFILE file;
    ITzPicture* picture = nullptr;
    COpLoad load(m_window);
    int error = 0;
    if (!PathRecordFromText(path, &file))
        error = PTzLastErrorOr(PTzERR_BAD_ARGUMENT);
    else if (load.Set(&file, &picture) && load.Run() && picture)
        error = 0;
    else if (load.WasCancelled())
        return false;
    else
        error = load.GetError() ? load.GetError() : ITzERR_INVALID;
    if (error) {
        ShellDialogs().ShowMessage(m_window, FileErrorMessage(IDS_COULD_NOT_OPEN, path, error), MessageButtons::Ok);
        return false;
    }
    SetPictureHandle(ITzPictSetPictureClass(picture));
    m_unsavedChange = false;
    SetPathName(path);
    return true;
}

bool CTamsleyDoc::SaveModified()
{
    if (!IsModified())
        return true;
    const QString question = LoadShellString(IDS_SAVE_CHANGES).arg(m_title);
    switch (ShellDialogs().ShowMessage(m_window, question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        return DoFileSave();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool CTamsleyDoc::ResizePicture(int32_t width, int32_t height, uint32_t resampleType, uint32_t pixelsPerMetre)
{
    const _tagPTzSIZE size = {width, height};
    _tagPTzSIZE current = {};
    if (!GetPicture() || GetPicture()->GetSize(&current) != 0)
        return false;
    // No resize goes past the sides a new picture may have; the picture's own size only
    // takes the resolution.
    const bool resized = width != current.cx || height != current.cy;
    if (resized && (!CNewDialog::SideFits(width) || !CNewDialog::SideFits(height)))
        return false;
    COPResize resize(m_window);
    if (!resize.Set(GetPicture(), &size, resampleType, pixelsPerMetre) || !resize.Run())
        return false;
    // The history keeps no step for a resolution alone: the document remembers it.
    if (resize.ChangedOnlyResolution())
        m_unsavedChange = true;
    return true;
}

bool CTamsleyDoc::RotatePicture(uint32_t rotationKind)
{
    COPRotateS rotate(m_window);
    return GetPicture() && rotate.Set(GetPicture(), rotationKind) && rotate.Run();
}
