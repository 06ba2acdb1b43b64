// Drives a load's chunk tree: the file head, the single 'pict' chunk and its steps.
#include "engine/picture/native_reader.h"

#include <algorithm>

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"
#include "engine/picture/native_chunk_picture.h"
#include "engine/picture/picture.h"

namespace lumatra::native {

PictureReader::PictureReader(_tagPTzIOSTREAM* stream) : m_source(stream)
{
    if (!Begin())
        m_tree.reset();
}

PictureReader::~PictureReader() = default;

bool PictureReader::Begin()
{
    uint8_t head[kFileHeadSize];
    if (!m_source.Read(head, sizeof head))
        return false;
    if (PTzReadLE32(head) != kFileMagic || PTzReadLE32(head + 4) > kFileVersion)
        return m_source.Fail(FTzERR_BAD_DATA);
    uint32_t tag = 0;
    uint64_t size = 0;
    uint64_t headerSize = 0;
    if (!m_source.ReadChildHeader(m_source.Remaining(), &tag, &size, &headerSize))
        return false;
    if (tag != kTagPicture)
        return m_source.Fail(FTzERR_BAD_DATA);
    m_total = size;
    m_source.StartCounting();
    m_tree = std::make_unique<ITzDWKPicture>();
    return m_tree->BeginRead(m_source, size) != 0;
}

uint32_t PictureReader::Progress() const
{
    return m_total == 0 ? 0 : uint32_t(std::min<uint64_t>(m_source.Consumed(), m_total) * 100 / m_total);
}

int PictureReader::Step()
{
    if (!m_tree || m_finished || Failed())
        return 0;
    if (m_tree->ReadStep(m_source))
        return 1;
    if (!Failed() && m_tree->EndRead(m_source))
        m_finished = true;
    if (Failed())
        m_tree.reset();
    return 0;
}

ITzPicture* PictureReader::TakePicture()
{
    return Finished() ? m_tree->TakePicture() : nullptr;
}

}  // namespace lumatra::native
