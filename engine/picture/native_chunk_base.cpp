// The walk every container chunk shares: its children written one unit a step in file
// order, and read one after the other with each size charged to the container first.
#include "engine/picture/native_chunk_base.h"

#include "base/error_codes.h"
#include "engine/picture/native_chunk_header.h"

using lumatra::native::ChunkSink;
using lumatra::native::ChunkSource;

ITzDWKBase::~ITzDWKBase() = default;

void ITzDWKChildEnd::operator()(ITzDWKBase* child) const
{
    std::destroy_at(child);
    ASAN_POISON_MEMORY_REGION(room, size);
}

void ITzDWKBase::DropChildren()
{
    m_writing = nullptr;
    m_reading.reset();
    m_children.clear();
}

uint64_t ITzDWKBase::GetChunkSize() const
{
    return lumatra::native::chunkHeaderSize(m_size) + m_size;
}

uint64_t ITzDWKBase::ComputeSize()
{
    m_size = 0;
    for (const std::unique_ptr<ITzDWKBase>& child : m_children) {
        child->ComputeSize();
        m_size += child->GetChunkSize();
    }
    return m_size;
}

int ITzDWKBase::BeginWrite(ChunkSink& sink)
{
    m_done = 0;
    return sink.PutHeader(m_tag, m_size) ? 1 : 0;
}

int ITzDWKBase::WriteStep(ChunkSink& sink)
{
    if (sink.Failed())
        return 0;
    if (!m_writing) {
        if (m_nextChild == m_children.size())
            return 0;
        m_writing = m_children[m_nextChild++].get();
        if (!m_writing->BeginWrite(sink))
            return 0;
    }
    if (m_writing->WriteStep(sink))
        return 1;
    if (sink.Failed() || !m_writing->EndWrite(sink))
        return 0;
    m_done += m_writing->GetChunkSize();
    m_writing = nullptr;
    return m_nextChild < m_children.size() ? 1 : 0;
}

int ITzDWKBase::EndWrite(ChunkSink& sink)
{
    // A picture changed while it was being saved no longer matches the sizes already
    // written: the file would be corrupt, so the save fails.
    return sink.Failed() || m_done != m_size ? sink.Refuse() : 1;
}

int ITzDWKBase::BeginRead(ChunkSource& source, uint64_t size)
{
    m_size = size;
    m_done = 0;
    return ReadLeadingChildren(source);
}

int ITzDWKBase::ReadStep(ChunkSource& source)
{
    // A leaf is read whole when it is begun.
    if (source.Failed() || !HasChildren())
        return 0;
    if (m_reading) {
        if (m_reading->ReadStep(source))
            return 1;
        if (source.Failed())
            return 0;
        const ITzDWKChild child = std::move(m_reading);
        return FinishChild(source, child.get()) && m_done < m_size ? 1 : 0;
    }
    if (m_done == m_size)
        return 0;
    if (!ReadNextChild(source, false, nullptr))
        return 0;
    return m_reading || m_done < m_size ? 1 : 0;
}

int ITzDWKBase::EndRead(ChunkSource& source)
{
    if (source.Failed())
        return 0;
    return m_done == m_size && !m_reading ? 1 : source.Refuse(FTzERR_BAD_DATA);
}

int ITzDWKBase::ReadLeadingChildren(ChunkSource&)
{
    return 1;
}

int ITzDWKBase::HasChildren() const
{
    return 1;
}

int ITzDWKBase::LeadingChildRead(ChunkSource&, ITzDWKBase*)
{
    return 0;
}

int ITzDWKBase::ChildBegun(ChunkSource&, ITzDWKBase*)
{
    return 1;
}

int ITzDWKBase::ChildCompleted(ChunkSource&, ITzDWKBase*)
{
    return 1;
}

ITzDWKChild ITzDWKBase::MakeChild(uint32_t)
{
    return nullptr;
}

int ITzDWKBase::ReadUntilAccepted(ChunkSource& source)
{
    bool accepted = false;
    while (!accepted && m_done < m_size)
        if (!ReadNextChild(source, true, &accepted))
            return 0;
    return 1;
}

int ITzDWKBase::ReadNextChild(ChunkSource& source, bool leading, bool* accepted)
{
    uint32_t tag = 0;
    uint64_t size = 0;
    uint64_t headerSize = 0;
    if (!source.ReadChildHeader(m_size - m_done, &tag, &size, &headerSize))
        return 0;
    m_done += headerSize + size;
    ITzDWKChild child = MakeChild(tag);
    if (!child)
        return source.Skip(size) ? 1 : 0;
    if (!child->BeginRead(source, size))
        return 0;
    if (leading) {
        // The leading phase takes each child whole before looking at the next.
        while (child->ReadStep(source)) {
        }
        if (source.Failed() || !child->EndRead(source))
            return 0;
        *accepted = LeadingChildRead(source, child.get()) != 0;
        return source.Failed() ? 0 : 1;
    }
    if (!ChildBegun(source, child.get()))
        return 0;
    if (child->GetDone() == child->GetSize() && !child->m_reading)
        return FinishChild(source, child.get());
    m_reading = std::move(child);
    return 1;
}

int ITzDWKBase::FinishChild(ChunkSource& source, ITzDWKBase* child)
{
    if (!child->EndRead(source) || !ChildCompleted(source, child))
        return 0;
    return source.Failed() ? 0 : 1;
}

int ITzDWKBase::ReadPayload(ChunkSource& source, uint64_t size, uint64_t expected, void* bytes)
{
    m_size = size;
    if (size != expected)
        return source.Refuse(FTzERR_BAD_DATA);
    if (!source.Read(bytes, size))
        return 0;
    m_done = size;
    return 1;
}

int ITzDWKBase::PutPayload(ChunkSink& sink, const void* bytes)
{
    if (!sink.Put(bytes, m_size))
        return 0;
    m_done = m_size;
    return 0;  // written whole: no step follows
}
