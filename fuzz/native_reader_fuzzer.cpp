// Fuzzes the native layered file's reader: the input read step by step, and a picture
// it accepts (of a bounded size) written back and read again, which must give the same
// file both times.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <sanitizer/asan_interface.h>

#include "base/mem_stream.h"
#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "engine/picture/picture.h"
#include "engine/pixels/layer_base.h"
// Text layers make fonts: fontconfig's one loss while it reads its configuration is excused.
#include "tests/base/font_test_support.h"

namespace {

// Writing costs grow with the picture, not the input (a few bytes of text in a large font
// draw many blocks; every layer is a tree of chunks): pictures whose layers cover more
// than this many pixels in all, or that hold more than this many layers, are read, never
// written back.
constexpr uint64_t WriteBudgetPixels = uint64_t(1) << 16;
constexpr uint16_t WriteBudgetLayers = 32;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// The written file, in a block kept from input to input: a file of a few hundred
// kilobytes is beyond the sanitizer allocator's size classes, so a fresh block for each
// input would be mapped, faulted in page by page and unmapped again. The file starts
// the block and the bytes after it are poisoned, so that reading past its end still
// meets the sanitizer.
class WrittenFile {
public:
    // Room for a file of exactly `size` bytes, the previous file gone.
    void Plan(size_t size)
    {
        ASAN_UNPOISON_MEMORY_REGION(m_block.get(), m_capacity);
        if (size > m_capacity) {
            m_block.reset(new uint8_t[size]);
            m_capacity = size;
        }
        m_planned = size;
        m_size = 0;
        ASAN_POISON_MEMORY_REGION(m_block.get() + size, m_capacity - size);
    }
    // False when the bytes go past the planned size.
    bool Append(const uint8_t* from, size_t count)
    {
        if (count > m_planned - m_size)
            return false;
        std::copy_n(from, count, m_block.get() + m_size);
        m_size += count;
        return true;
    }
    const uint8_t* data() const { return m_block.get(); }
    size_t size() const { return m_size; }

private:
    std::unique_ptr<uint8_t[]> m_block;
    size_t m_capacity = 0;
    size_t m_planned = 0;
    size_t m_size = 0;
};

// The writer only appends; the reader takes a memory stream over the finished bytes.
struct Appender {
    WrittenFile& file;
    _tagPTzIOSTREAM stream{this, nullptr, nullptr, &Write, nullptr};

    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        WrittenFile& file = static_cast<Appender*>(context)->file;
        return file.Append(static_cast<const uint8_t*>(buffer), count) ? count : 0;
    }
};

// A write compared with an earlier file as it goes, rather than kept to be compared
// whole: no second file-sized block per input.
struct Comparer {
    const WrittenFile& expected;
    size_t offset = 0;
    bool same = true;
    _tagPTzIOSTREAM stream{this, nullptr, nullptr, &Write, nullptr};

    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        auto& self = *static_cast<Comparer*>(context);
        const auto* from = static_cast<const uint8_t*>(buffer);
        if (count > self.expected.size() - self.offset ||
            !std::equal(from, from + count, self.expected.data() + self.offset))
            self.same = false;
        else
            self.offset += count;
        return count;
    }
};

// Reads the bytes whole: the picture, or null when the reader refused them. The bytes are
// read where they lie, so that a read past their end meets the sanitizer.
std::unique_ptr<ITzPicture> Read(const uint8_t* data, size_t size)
{
    // The memory stream wants a block even for empty bytes.
    static uint8_t none;
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(size ? const_cast<uint8_t*>(data) : &none, uint32_t(size));
    Require(stream != nullptr);
    std::unique_ptr<ITzPicture> picture;
    {
        lumatra::native::PictureReader reader(stream);
        // Every step consumes a byte or closes a container, which took a header to open.
        const uint64_t stepLimit = 2 * uint64_t(size) + 2;
        uint64_t steps = 0;
        uint32_t progress = 0;
        while (reader.Step()) {
            Require(++steps <= stepLimit && !reader.Failed());
            Require(reader.Progress() >= progress && reader.Progress() <= 100);
            progress = reader.Progress();
        }
        Require(reader.Failed() != reader.Finished());
        Require(!reader.Failed() || reader.Error() != 0);
        picture.reset(reader.TakePicture());
        Require((picture != nullptr) == reader.Finished());
    }
    PTzDestoryMemStream(stream);
    if (picture)
        Require(picture->GetLayerCount() >= 1 && picture->GetLayerCount() <= lumatra::native::kMaxLayers);
    return picture;
}

const WrittenFile& Write(ITzPicture* picture)
{
    static WrittenFile file;
    Appender appender{file};
    lumatra::native::PictureWriter writer(picture, &appender.stream);
    // The file's size is planned before the first step (a file too large to write fails
    // before its first byte).
    file.Plan(writer.FileSize() <= UINT32_MAX ? size_t(writer.FileSize()) : 0);
    while (writer.Step()) {
    }
    Require(writer.Finished() && file.size() == writer.FileSize());
    return file;
}

// Whether writing the picture gives exactly these bytes.
bool WritesAs(ITzPicture* picture, const WrittenFile& expected)
{
    Comparer file{expected};
    lumatra::native::PictureWriter writer(picture, &file.stream);
    while (writer.Step()) {
    }
    Require(writer.Finished() && (!file.same || file.offset == writer.FileSize()));
    return file.same && file.offset == expected.size();
}

uint64_t LayerPixels(ITzPicture& picture)
{
    // Counting stops past the budget: two layers of the largest bounds would wrap the sum.
    uint64_t pixels = 0;
    for (uint16_t i = 0; i < picture.GetLayerCount() && pixels <= WriteBudgetPixels; ++i) {
        PTzRECT bounds;
        picture.GetLayerbyIndex(i)->GetBounds(&bounds);
        pixels += uint64_t(int64_t(bounds.right) - bounds.left) * uint64_t(int64_t(bounds.bottom) - bounds.top);
    }
    return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<ITzPicture> picture = Read(data, size);
    if (!picture || LayerPixels(*picture) > WriteBudgetPixels || picture->GetLayerCount() > WriteBudgetLayers)
        return 0;
    const WrittenFile& written = Write(picture.get());
    std::unique_ptr<ITzPicture> again = Read(written.data(), written.size());
    Require(again && again->GetLayerCount() == picture->GetLayerCount());
    Require(WritesAs(again.get(), written));
    return 0;
}
