// CModalFocusReturn: after any modal dialog of the program closes, whatever closed it, the
// window under it gets the keyboard back: the dialog still open below it, else the main
// frame with its active view focused, so that shortcuts work at once. A window manager
// usually does this for a dialog's owner; without one the X server leaves the focus nowhere.
#pragma once

#include <QObject>

class CMainFrame;

class CModalFocusReturn : public QObject {
public:
    // Watches every window of the application for the frame's life.
    explicit CModalFocusReturn(CMainFrame* frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReturnFocus();

    CMainFrame* m_frame;
};
