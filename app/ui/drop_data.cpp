// Building and dragging the program's private drag data.
#include "app/ui/drop_data.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <limits>
#include <new>

CRDropDataBase::CRDropDataBase() : m_format(QStringLiteral("Vorn_Unknow_Data_Type")) {}

CRDropDataBase::~CRDropDataBase() = default;

void CRDropDataBase::SetFormat(const QString& name)
{
    m_format = name;
}

QString CRDropDataBase::MimeType(const QString& formatName)
{
    // A format name may hold any character; a MIME subtype takes only a few besides
    // letters and digits, the rest are percent-encoded.
    return QStringLiteral("application/x-quorvel-") + QString::fromLatin1(QUrl::toPercentEncoding(formatName, "!#$&^_.+"));
}

std::unique_ptr<QMimeData> CRDropDataBase::MakeData(const void* data, size_t size) const
{
    if ((!data && size != 0) || size > size_t(std::numeric_limits<int>::max()))
        return nullptr;
    try {
        auto mime = std::make_unique<QMimeData>();
        mime->setData(MimeType(m_format), QByteArray(static_cast<const char*>(data), qsizetype(size)));
        return mime;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int CRDropDataBase::DoDrag(QWidget* source, const void* data, size_t size)
{
    if (!source)
        return 0;
    std::unique_ptr<QMimeData> mime = MakeData(data, size);
    if (!mime)
        return 0;
    // Qt deletes the drag object once the drag is over.
    auto* drag = new QDrag(source);
    drag->setMimeData(mime.release());
    drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    return 1;
}
