// The frame hands itself to its document as the window of the document's dialogs.
#include "app/shell/child_frame.h"

#include <QCloseEvent>
#include <QResizeEvent>

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
    m_view->UpdateZoomTitle();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (!m_fitting && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        m_givenSize = event->size();
}

void CChildFrame::FitIntoArea(QSize room)
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized) || x() >= room.width() || y() >= room.height())
        return;
    const QSize given = m_givenSize.isValid() ? m_givenSize : size();
    const QSize fitted = given.boundedTo(QSize(room.width() - x(), room.height() - y())).expandedTo(minimumSizeHint());
    if (fitted == size())
        return;
    m_fitting = true;
    resize(fitted);
    m_fitting = false;
}
