// Drives a save's chunk tree: the file head and 'pict' header first, then one unit of
// the tree a step, little-endian and field by field.
#include "engine/picture/native_writer.h"

#include <limits>

#include "base/error_codes.h"

#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_picture.h"

namespace lumatra::native {

PictureWriter::PictureWriter(ITzPicture* picture, _tagPTzIOSTREAM* stream) : m_sink(stream)
{
    if (!picture) {
        PTzSetLastError(ITzERR_INVALID);
        m_sink.Fail();
        return;
    }
    // A layer the file cannot hold would vanish from it: the save is refused whole.
    if (!ITzDWKPicture::CanStore(*picture)) {
        PTzSetLastError(PTzERR_COLOR_UNSUPPORTED);
        m_sink.Fail();
        return;
    }
    m_tree = std::make_unique<ITzDWKPicture>(picture);
    m_pictureSize = m_tree->ComputeSize();
    m_prefixSize = kFileHeadSize + chunkHeaderSize(m_pictureSize);
    if (FileSize() > std::numeric_limits<uint32_t>::max()) {
        PTzSetLastError(ITzERR_INVALID);
        m_sink.Fail();
    }
}

PictureWriter::~PictureWriter() = default;

uint64_t PictureWriter::FileSize() const
{
    return m_prefixSize + m_pictureSize;
}

uint32_t PictureWriter::Progress() const
{
    if (m_pictureSize == 0 || m_sink.Written() < m_prefixSize)
        return 0;
    return uint32_t(((m_sink.Written() - m_prefixSize) * 100 + m_pictureSize / 2) / m_pictureSize);
}

int PictureWriter::Step()
{
    if (m_finished || Failed())
        return 0;
    if (!m_begun) {
        m_begun = true;
        uint8_t head[kFileHeadSize] = {};
        PTzWriteLE32(head, kFileMagic);
        PTzWriteLE32(head + 4, kFileVersion);
        return m_sink.Put(head, sizeof head) && m_tree->BeginWrite(m_sink) ? 1 : 0;
    }
    if (m_tree->WriteStep(m_sink))
        return 1;
    m_finished = !Failed() && m_tree->EndWrite(m_sink);
    return 0;
}

}  // namespace lumatra::native
