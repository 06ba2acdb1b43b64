// CLayerManagerDlg: the layers panel, the content of the main frame's floating layers
// bar. It shows the active view's picture in a CLayerListBox, the active layer's opacity
// in a slide combo, and five buttons that run the view's layer commands through the main
// frame's actions: "New Layer", "Convert To Image Layer", "Delet Layer", "Merge All Layer"
// and "Merge Down". The controls carry their template ids as object names.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstddef>
#include <cstdint>

#include "app/ui/slide_combobox.h"

class CLayerListBox;
class QAction;
class CMainFrame;
class ITzPicture;
class RCIconButton;

// The panel's opacity box shows its value as a percentage.
class CLayerOpacitySCBox : public CSlideCombobox {
public:
    explicit CLayerOpacitySCBox(QWidget* parent = nullptr);
    QString FormatValue() const override;
};

class CLayerManagerDlg : public QWidget {
public:
    // The control ids.
    enum : int {
        kListId = 1039,
        kNewLayerId = 1045,
        kConvertId = 1049,
        kDeleteId = 1044,
        kMergeAllId = 1048,
        kMergeDownId = 1047,
        kOpacityId = 1046,
    };

    // A panel made for the main frame runs the frame's commands; others run none.
    explicit CLayerManagerDlg(QWidget* parent = nullptr);
    ~CLayerManagerDlg() override;

    // Shows the picture (null: none): the list, the opacity and the buttons follow it.
    void SetPicture(ITzPicture* picture);
    ITzPicture* GetPicture() const;

    CLayerListBox* GetList() const { return m_list; }
    CLayerOpacitySCBox* GetOpacityBox() const { return m_opacity; }
    // The button of a control id, or null.
    RCIconButton* GetButton(int id) const;

    // Enables the controls as the picture allows; each button also follows the enabled
    // state of its command in the main frame, when there is one.
    void UpdateButtons();

private:
    // Builds the controls: the list, the opacity box with its label, the buttons with
    // their images and tooltips.
    void InitControls();
    // Runs a button's command on the active view.
    void RunCommand(size_t button);
    // Opens the active layer's properties through the active view.
    void EditActiveLayer();

    CLayerListBox* m_list = nullptr;
    CLayerOpacitySCBox* m_opacity = nullptr;
    RCIconButton* m_buttons[5] = {};
    QPointer<QWidget> m_frame;             // the main frame made for, or null
    QPointer<QAction> m_actions[5];        // its commands of the buttons
};
