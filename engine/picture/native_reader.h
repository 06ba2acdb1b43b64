// The native layered file's reader: walks the chunk tree one unit a step, checks every
// size against what remains of its container, and builds the picture with its layers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/io_stream.h"
#include "engine/lumatra_export.h"
#include "engine/pixels/layer_base.h"

class ITzPicture;
class ITzLayerImageARGB;

namespace lumatra::native {

constexpr uint32_t kMaxPictureSide = 1u << 30;

class LUMATRA_API PictureReader {
public:
    // Reads the head and the 'pict' chunk's header up to its picture information;
    // Failed() tells whether the load can go on (the code is the last error then).
    explicit PictureReader(_tagPTzIOSTREAM* stream);
    ~PictureReader();

    // Reads the next unit: nonzero while more remains, 0 once finished or failed.
    int Step();
    bool Failed() const { return m_error != 0; }
    int Error() const { return m_error; }
    bool Finished() const { return m_finished && !m_error; }
    // Bytes of the 'pict' payload consumed x 100 / that payload.
    uint32_t Progress() const;
    // The finished picture for the caller (null unless Finished()).
    ITzPicture* TakePicture();

private:
    struct Frame {
        uint32_t tag;
        uint64_t remaining;  // payload bytes not yet consumed
    };
    // What the current 'layr' has given so far.
    struct LayerState {
        PTzChar name[ITzLAYER_NAME_LENGTH] = {};
        bool hasName = false;
        bool hasInfo = false;
        bool madeLayer = false;  // only the first data chunk of a layer counts
        uint32_t width = 0, height = 0;
        int32_t left = 0, top = 0;
        uint8_t mergeType = 0, opacity = 0, flags = 0;
    };
    struct Pixels;

    bool Fail(int code);
    bool Read(void* buffer, uint64_t count);
    bool Skip(uint64_t count);
    bool ReadHead();
    bool ReadChildHeader(uint32_t* tag, uint64_t* size);
    bool StepOnce();
    bool BeginChild(uint32_t tag, uint64_t size);
    bool EndContainer(uint32_t tag);
    bool ReadPictInfo(uint64_t size);
    bool ReadName(uint64_t size);
    bool ReadLayerInfo(uint64_t size);
    bool ReadPreviewInfo(uint64_t size);
    bool BeginPreviewData(uint64_t size);
    bool ReadBlock();
    bool InsertLayer();

    _tagPTzIOSTREAM* m_stream;
    std::unique_ptr<ITzPicture> m_picture;
    std::vector<Frame> m_stack;
    LayerState m_layer;
    std::unique_ptr<Pixels> m_pixels;
    uint64_t m_fileSize = 0;
    uint64_t m_position = 0;  // absolute, in the stream
    uint64_t m_total = 0;
    uint64_t m_consumed = 0;
    uint32_t m_layersMade = 0;
    int m_error = 0;
    bool m_finished = false;
};

}  // namespace lumatra::native
