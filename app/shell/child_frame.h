// CChildFrame: the window of one document inside the main frame's MDI area. It owns the
// document and its view; the view goes first, so it never outlives the picture it shows.
// It keeps within the area's room as the area changes size, the view scrolling what no
// longer fits.
#pragma once

#include <QMdiSubWindow>
#include <QSize>
#include <memory>

class CTamsleyDoc;
class CTamsleyView;

class CChildFrame : public QMdiSubWindow {
public:
    CChildFrame(std::unique_ptr<CTamsleyDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTamsleyDoc* GetDocument() const { return m_document.get(); }
    CTamsleyView* GetView() const { return m_view; }
    // Shows the view's zoom and the document's title.
    void UpdateTitle();
    // Fits the window into the MDI area's room (the area's viewport size): a window that
    // reaches past the right or bottom edge gives up the excess, its corner staying where
    // it is, and grows back towards the size it was given (when it opened, or by the user)
    // as room comes back. A maximized or minimized window, and one whose corner lies
    // outside the room, is left alone.
    void FitIntoArea(QSize room);

protected:
    // Asks to save a modified document; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // Remembers a size given from outside the fitting.
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CTamsleyDoc> m_document;
    CTamsleyView* m_view;
    QSize m_givenSize;  // invalid until the window first has a size of its own
    bool m_fitting = false;
};
