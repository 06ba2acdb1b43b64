// CViewDialogs: the dialogs of the views' commands, made from the control kit and run
// through the shell's dialog interface: Fill Color, Resize, Layer Properties and Set
// Active Layer, and the Testing Dialog.
#pragma once

#include "app/shell/shell_links.h"

class CViewDialogs : public quorvel::IViewDialogs {
public:
    bool AskFillOpacity(QWidget* parent, uint8_t* opacity) override;
    bool AskImageResize(QWidget* parent, ITzPicture* picture, quorvel::CImageResizeChoice* choice) override;
    bool EditLayerProperties(QWidget* parent, ITzLayerBase* layer) override;
    bool AskActiveLayer(QWidget* parent, uint16_t count, uint16_t* index) override;
    void RunTestingDialog(QWidget* parent, ITzPicture* picture) override;
};
