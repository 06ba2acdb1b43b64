// The system clipboard as the clipboard bridge sees it: a sequence number that changes
// with every change of the clipboard's content (the program's own included), and the
// content as an image. In the program it is QClipboard; tests give their own.
#pragma once

#include <QImage>
#include <QObject>
#include <cstdint>

class IClipboardPort {
public:
    virtual ~IClipboardPort() = default;
    virtual uint32_t GetSequenceNumber() = 0;
    // The clipboard's image; a null image when it holds none.
    virtual QImage GetImage() = 0;
    // Replaces the clipboard's content by the image.
    virtual void SetImage(const QImage& image) = 0;
};

// The application's QClipboard. Qt keeps no sequence number, so the port counts the
// clipboard's dataChanged signals, and its own writes, which a platform may report late.
class CQtClipboardPort : public IClipboardPort {
public:
    CQtClipboardPort();

    uint32_t GetSequenceNumber() override { return m_sequence; }
    QImage GetImage() override;
    void SetImage(const QImage& image) override;

private:
    uint32_t m_sequence = 0;
    QObject m_connections;  // owns the dataChanged connection
};
