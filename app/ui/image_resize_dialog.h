// ImageResizeDlg: the "Resize" dialog of the Resize command. It shows the picture's
// original size and resolution and asks for the new ones, in pixels, inches or
// centimetres and pixels per inch or per centimetre; "Constrain Proportions" keeps the
// picture's proportions, and with "Resample Image" clear the pixels stay and only the
// resolution changes. The arithmetic is image_resize_rules.h; this class keeps the
// controls in step with it, reacting to the user's edits only.
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/ui/image_resize_rules.h"

class CFloatEdit;
class ITzPicture;
class QCheckBox;
class QComboBox;
class QLabel;

class ImageResizeDlg : public QDialog {
public:
    explicit ImageResizeDlg(QWidget* parent = nullptr);

    // The picture to resize (not owned): its size and resolution fill the dialog.
    void SetPicture(ITzPicture* picture);

    uint32_t GetNewWidth() const { return m_state.newSize[kResizeWidth]; }
    uint32_t GetNewHeight() const { return m_state.newSize[kResizeHeight]; }
    // The picture's own resolution (0 for none) until the resolution is changed.
    uint32_t GetResolutionDPM() const { return ChosenDotsPerMetre(m_state); }
    // 1 bilinear, 0 nearest neighbour; 2 until OK.
    uint32_t GetResampleMode() const { return m_resampleMode; }

    // OK: the limits for the resolution, the width and the height, then the method.
    void accept() override;

protected:
    // A size or resolution box that loses the focus is brought within its limits.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* MakeRows(const QString& title, bool original);
    void FillAll();
    void FillOriginalSide(int side);
    void FillOriginalResolution();
    void FillNewSide(int side);
    void FillNewResolution();
    void OnSideTyped(int side);
    void OnResolutionTyped();
    void LimitSideBox(int side);
    void LimitResolutionBox();
    void OnConstrainClicked(bool checked);
    void OnResampleClicked(bool checked);
    CSizeUnit SizeUnit(const QComboBox* combo) const;
    CResolutionUnit ResolutionUnit(const QComboBox* combo) const;
    bool Resampling() const;
    bool Constraining() const;

    ITzPicture* m_picture = nullptr;
    CResizeState m_state;
    uint32_t m_resampleMode = 2;

    QLabel* m_originalSide[2] = {};
    QLabel* m_originalResolution = nullptr;
    QComboBox* m_originalSideUnit[2] = {};
    QComboBox* m_originalResolutionUnit = nullptr;
    CFloatEdit* m_newSide[2] = {};
    CFloatEdit* m_newResolution = nullptr;
    QComboBox* m_newSideUnit[2] = {};
    QComboBox* m_newResolutionUnit = nullptr;
    QCheckBox* m_constrain = nullptr;
    QCheckBox* m_resample = nullptr;
    QComboBox* m_method = nullptr;
};
