// CTamsleyDoc: the document of one picture window. It owns exactly one engine picture and
// maps the document's life (new, open, save, save as, modified, close) onto the engine
// and the shell's operations. A new picture's typed name is its title; it has no path
// until it is saved.
#pragma once

#include <QString>
#include <cstdint>

class ITzPicture;
class QWidget;

class CTamsleyDoc {
public:
    CTamsleyDoc();
    // Destroys the picture.
    virtual ~CTamsleyDoc();
    CTamsleyDoc(const CTamsleyDoc&) = delete;
    CTamsleyDoc& operator=(const CTamsleyDoc&) = delete;

    ITzPicture* GetPicture() const;
    void* GetPictureHandle() const { return m_picture; }
    // Takes over a picture handle (null: none), destroying the picture held before.
    void SetPictureHandle(void* picture);

    // The picture's modified state, or a change the undo history does not hold (a
    // resize that changed only the resolution) since the last save; 0 without a picture.
    int IsModified() const;
    // Stores the flag only: the picture knows whether it changed.
    void SetModifiedFlag(int flag) { m_modifiedFlag = uint32_t(flag); }

    const QString& GetPathName() const { return m_pathName; }
    const QString& GetTitle() const { return m_title; }
    // The path and, from its file name as a person reads it, the title.
    void SetPathName(const QString& path);
    // The name a print carries and its PDF file is proposed after: the path, or for a
    // picture never saved the name typed for it.
    QString GetPrintName() const { return m_pathName.isEmpty() ? m_title : m_pathName; }

    // New: proposes a size (the clipboard image's, else the last one chosen, else
    // 1000 x 800, each only inside 1..30000), asks for name and size and makes the
    // picture. False when cancelled or when the picture cannot be made.
    bool OnNewDocument();
    // Loads the file under the progress rules; on failure shows the path and the
    // engine's code and gives false.
    bool OnOpenDocument(const QString& path);
    // The Save and Save As commands: true when the picture was saved.
    bool DoFileSave();
    bool DoFileSaveAs();
    // Saves to path (empty: ask for one). With replace, the document then takes the new
    // path. True when the picture was saved; the document keeps its path and modified
    // state otherwise.
    virtual bool DoSave(const QString& path, bool replace);
    // Saves through a temporary file moved over the target; a failure (other than a
    // cancel) is shown to the user. True when the target now holds the picture.
    virtual bool SaveToPath(const QString& path, void* plugIn, bool saveAs);
    // Before closing: true when the document may close (not modified, saved, or the
    // user chose not to save); false to keep it open.
    bool SaveModified();

    // Resizes or turns the picture under the progress rules: true when done. A new size
    // outside 1..30000 on a side is refused.
    bool ResizePicture(int32_t width, int32_t height, uint32_t resampleType, uint32_t pixelsPerMetre);
    bool RotatePicture(uint32_t rotationKind);

    // The window whose dialogs belong to this document (its frame); may be null.
    void SetWindow(QWidget* window) { m_window = window; }
    QWidget* GetWindow() const { return m_window; }

private:
    // The plug-in that saves the picture's own format, or null.
    void* FormatSavePlugIn() const;
    // Asks for a name and a type with the Save dialog: true with both.
    bool PromptSaveName(QString* path, void** plugIn);
    // Whether the file at the path (if any) may be replaced; else *refusal, when given,
    // receives the reason: the system's error number, or EACCES for a file marked
    // read-only.
    bool TargetWritable(const QString& path, int* refusal = nullptr) const;
    // Before the picture is written in a format that cannot keep its layers: the user is
    // told and may cancel. Asked at each Save As (a path chosen now) and at a Save to a
    // file the user has not agreed to merge into yet. True to save.
    bool ConfirmLayersMerged(const QString& path, void* plugIn, bool chosenNow);
    void ReportSaveFailure(const QString& path, int code) const;

    uint32_t m_modifiedFlag = 0;
    void* m_picture = nullptr;
    QString m_pathName;
    QString m_title;
    bool m_unsavedChange = false;
    QWidget* m_window = nullptr;
    // The file the user agreed to save with the layers merged.
    QString m_mergeAgreedPath;
};
