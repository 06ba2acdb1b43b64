// ITzDWKBase, the root of the native file's chunk classes: one object per chunk, so
// that the tree built for a save or a load mirrors the file. The base walks a container's
// children; leaf chunks override the size and the reading and writing of their payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/lumatra_export.h"
#include "engine/picture/native_chunk_io.h"
#include "engine/picture/native_chunk_room.h"

class LUMATRA_API ITzDWKBase {
public:
    explicit ITzDWKBase(uint32_t tag) : m_tag(tag) {}
    virtual ~ITzDWKBase();

    // Writing. The payload size, children first (a container: its children with their
    // headers). Begin writes the header and gives 1, or 0 when the write failed; a step
    // writes one unit and is nonzero while more remains; end checks the chunk came out
    // at its planned size (1) or fails the save (0).
    virtual uint64_t ComputeSize();
    virtual int BeginWrite(lumatra::native::ChunkSink& sink);
    virtual int WriteStep(lumatra::native::ChunkSink& sink);
    virtual int EndWrite(lumatra::native::ChunkSink& sink);

    // Reading. Begin is given the payload size (checked against the container before);
    // it reads a leaf whole and a container's leading children. A step is nonzero while
    // more remains; a failure is kept by the source. End gives 1, or 0 when the chunk
    // read is not complete (the source then failed).
    virtual int BeginRead(lumatra::native::ChunkSource& source, uint64_t size);
    virtual int ReadStep(lumatra::native::ChunkSource& source);
    virtual int EndRead(lumatra::native::ChunkSource& source);
    // Reads children whole until one is accepted as the start of the content: 1, or 0
    // when the reading failed.
    virtual int ReadLeadingChildren(lumatra::native::ChunkSource& source);
    virtual int HasChildren() const;
    // A child read whole in the leading phase: 1 when it ends that phase.
    virtual int LeadingChildRead(lumatra::native::ChunkSource& source, ITzDWKBase* child);
    virtual int ChildBegun(lumatra::native::ChunkSource& source, ITzDWKBase* child);
    // A child read to its end: 1, or 0 when what it gave cannot be used (load fails).
    virtual int ChildCompleted(lumatra::native::ChunkSource& source, ITzDWKBase* child);
    // The object for a child chunk, made in this chunk's room, or null for a tag this
    // chunk does not take here, whose bytes are then skipped.
    virtual ITzDWKChild MakeChild(uint32_t tag);

    uint32_t GetTag() const { return m_tag; }
    uint64_t GetSize() const { return m_size; }
    uint64_t GetDone() const { return m_done; }
    // Bytes the chunk takes in the file, header included.
    uint64_t GetChunkSize() const;

protected:
    // A save's children, in file order (made by the writing constructors).
    void AddChild(std::unique_ptr<ITzDWKBase> child) { m_children.push_back(std::move(child)); }
    // Deletes the children now, for a chunk whose own members they depend on.
    void DropChildren();
    // Reads the next child header and begins the child, or skips a chunk nobody takes:
    // 1, or 0 when the reading failed. In the leading phase the child is read whole and
    // `accepted` learns whether it ended that phase.
    int ReadNextChild(lumatra::native::ChunkSource& source, bool leading, bool* accepted);
    // The leading phase of containers that have one: children read whole, one after the
    // other, until LeadingChildRead accepts one or the payload ends. 1, or 0 on failure.
    int ReadUntilAccepted(lumatra::native::ChunkSource& source);
    // Leaf chunks: a payload of exactly `expected` bytes read whole (1), else the load
    // fails (0). Written whole by PutPayload.
    int ReadPayload(lumatra::native::ChunkSource& source, uint64_t size, uint64_t expected, void* bytes);
    int PutPayload(lumatra::native::ChunkSink& sink, const void* bytes);

    uint32_t m_tag;
    uint64_t m_size = 0;  // payload bytes
    uint64_t m_done = 0;  // payload bytes written or consumed so far

private:
    int FinishChild(lumatra::native::ChunkSource& source, ITzDWKBase* child);

    std::vector<std::unique_ptr<ITzDWKBase>> m_children;
    size_t m_nextChild = 0;
    ITzDWKBase* m_writing = nullptr;
    ITzDWKChild m_reading;
};
