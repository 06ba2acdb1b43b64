// The frame hands itself to its document as the window of the document's dialogs.
#include "app/shell/child_frame.h"

#include <QCloseEvent>

#include "app/shell/document.h"
#include "app/shell/picture_view.h"

CChildFrame::CChildFrame(std::unique_ptr<CTamsleyDoc> document, QWidget* parent)
    : QMdiSubWindow(parent), m_document(std::move(document)), m_view(new CTamsleyView(m_document.get(), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
    m_document->SetWindow(this);
    UpdateTitle();
}

CChildFrame::~CChildFrame()
{
    delete m_view;
    m_view = nullptr;
}

void CChildFrame::UpdateTitle()
{
    setWindowTitle(m_document->GetTitle());
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
