// The native layered file's writer: the stepwise driver of a save's chunk tree, built
// from the picture and sized whole before the first byte is written.
#pragma once

#include <cstdint>
#include <memory>

#include "base/io_stream.h"
#include "engine/lumatra_export.h"
#include "engine/picture/native_chunk_io.h"

class ITzPicture;
class ITzDWKPicture;

namespace lumatra::native {

class LUMATRA_API PictureWriter {
public:
    // Plans the whole file; the picture and the stream must outlive the writer. A file
    // that would not fit in 4 GiB, which the streams cannot address, fails at once
    // (last error -1001), and so does a picture holding a layer without ARGB pixels,
    // which the file cannot keep (-151): a save can refuse before it opens its file.
    explicit PictureWriter(ITzPicture* picture, _tagPTzIOSTREAM* stream = nullptr);
    ~PictureWriter();

    // The stream the steps write to, when the writer was planned without one.
    void SetStream(_tagPTzIOSTREAM* stream) { m_sink.Attach(stream); }

    // Writes the next unit: nonzero while more remains, 0 once finished or failed.
    int Step();
    // A short write or a plan that cannot be written: the file is not complete.
    bool Failed() const { return m_sink.Failed(); }
    bool Finished() const { return m_finished && !Failed(); }
    // Bytes written x 100 / the 'pict' payload, rounded.
    uint32_t Progress() const;
    uint64_t PictureSize() const { return m_pictureSize; }
    uint64_t FileSize() const;

private:
    ChunkSink m_sink;
    std::unique_ptr<ITzDWKPicture> m_tree;
    uint64_t m_pictureSize = 0;
    uint64_t m_prefixSize = 0;  // the head and the 'pict' header
    bool m_begun = false;
    bool m_finished = false;
};

}  // namespace lumatra::native
