// The QClipboard port.
#include "app/shell/clipboard_port.h"

#include <QClipboard>
#include <QGuiApplication>

CQtClipboardPort::CQtClipboardPort()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        QObject::connect(clipboard, &QClipboard::dataChanged, &m_connections, [this] { ++m_sequence; });
}

QImage CQtClipboardPort::GetImage()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->image() : QImage();
}

void CQtClipboardPort::SetImage(const QImage& image)
{
    ++m_sequence;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(image);
}
