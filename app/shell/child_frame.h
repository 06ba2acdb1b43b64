// CChildFrame: the window of one document inside the main frame's MDI area. It owns the
// document and its view; the view goes first, so it never outlives the picture it shows.
#pragma once

#include <QMdiSubWindow>
#include <memory>

class CTamsleyDoc;
class CTamsleyView;

class CChildFrame : public QMdiSubWindow {
public:
    CChildFrame(std::unique_ptr<CTamsleyDoc> document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTamsleyDoc* GetDocument() const { return m_document.get(); }
    CTamsleyView* GetView() const { return m_view; }
    // Shows the document's title.
    void UpdateTitle();

protected:
    // Asks to save a modified document; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CTamsleyDoc> m_document;
    CTamsleyView* m_view;
};
