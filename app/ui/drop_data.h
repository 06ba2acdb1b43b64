// CRDropDataBase: the source of a drag of the program's own data between its windows.
// The data travels as bytes under a private MIME type named after the data's format name,
// so a drop target accepts only data of the format it knows.
#pragma once

#include <QString>
#include <cstddef>
#include <memory>

class QMimeData;
class QWidget;

class CRDropDataBase {
public:
    // Offers the format "Vorn_Unknow_Data_Type" until told another.
    CRDropDataBase();
    virtual ~CRDropDataBase();

    void SetFormat(const QString& name);
    const QString& GetFormat() const { return m_format; }
    // The MIME type data of that format name travels under.
    static QString MimeType(const QString& formatName);

    // A copy of size bytes of data under the format's MIME type; null when the bytes
    // cannot be had (no data, or no memory for the copy).
    std::unique_ptr<QMimeData> MakeData(const void* data, size_t size) const;
    // Drags a copy of the data from the source widget, allowing copy, move and link, and
    // returns when the drop is over: 1, or 0 when the data cannot be had.
    int DoDrag(QWidget* source, const void* data, size_t size);

private:
    QString m_format;
};
