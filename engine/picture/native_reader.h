// The native layered file's reader: the stepwise driver of a load's chunk tree. It checks
// the head, begins the 'pict' chunk (which reads up to its picture information) and then
// steps the tree one unit at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "base/io_stream.h"
#include "engine/lumatra_export.h"
#include "engine/picture/native_chunk_io.h"

class ITzPicture;
class ITzDWKPicture;

namespace lumatra::native {

class LUMATRA_API PictureReader {
public:
    // Reads the head and the 'pict' chunk up to its picture information; Failed() tells
    // whether the load can go on (the code is the last error then).
    explicit PictureReader(_tagPTzIOSTREAM* stream);
    ~PictureReader();

    // Reads the next unit: nonzero while more remains, 0 once finished or failed.
    int Step();
    bool Failed() const { return m_source.Failed(); }
    int Error() const { return m_source.Error(); }
    bool Finished() const { return m_finished && !Failed(); }
    // Bytes of the 'pict' payload consumed x 100 / that payload.
    uint32_t Progress() const;
    // The finished picture for the caller (null unless Finished()).
    ITzPicture* TakePicture();

private:
    bool Begin();

    ChunkSource m_source;
    // The tree, and with it the picture being built: dropped at the first failure, so
    // that no half-built picture outlives it.
    std::unique_ptr<ITzDWKPicture> m_tree;
    uint64_t m_total = 0;
    bool m_finished = false;
};

}  // namespace lumatra::native
