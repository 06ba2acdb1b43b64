// Shared by the native file's tests: an in-memory file for the reader and the writer,
// the save and load of a picture through it, and builders of crafted chunk trees.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "engine/picture/native_reader.h"
#include "engine/picture/native_writer.h"
#include "picture_test_support.h"

namespace native_test {

using namespace lumatra::native;
using Bytes = std::vector<uint8_t>;

// A file in memory for both directions.
struct MemoryFile {
    Bytes bytes;
    size_t position = 0;
    _tagPTzIOSTREAM stream{this, &Seek, &Read, &Write, &Size};

    static MemoryFile* Of(void* context) { return static_cast<MemoryFile*>(context); }
    static uint32_t Seek(void* context, int32_t offset, uint16_t whence)
    {
        MemoryFile* file = Of(context);
        const int64_t base = whence == 0 ? 0 : whence == 1 ? int64_t(file->position) : int64_t(file->bytes.size());
        const int64_t target = whence == 2 ? base - offset : base + offset;
        if (target < 0 || target > int64_t(file->bytes.size()))
            return 0xFFFFFFFF;
        file->position = size_t(target);
        return uint32_t(target);
    }
    static uint32_t Read(void* context, void* buffer, uint32_t count)
    {
        MemoryFile* file = Of(context);
        const uint32_t done = uint32_t(std::min<size_t>(count, file->bytes.size() - file->position));
        std::memcpy(buffer, file->bytes.data() + file->position, done);
        file->position += done;
        return done;
    }
    static uint32_t Write(void* context, const void* buffer, uint32_t count)
    {
        MemoryFile* file = Of(context);
        const auto* from = static_cast<const uint8_t*>(buffer);
        file->bytes.insert(file->bytes.end(), from, from + count);
        return count;
    }
    static uint32_t Size(void* context, uint32_t* high)
    {
        if (high)
            *high = 0;
        return uint32_t(Of(context)->bytes.size());
    }
};

inline Bytes Save(ITzPicture& picture)
{
    MemoryFile file;
    PictureWriter writer(&picture, &file.stream);
    while (writer.Step()) {
    }
    EXPECT_TRUE(writer.Finished());
    return file.bytes;
}

inline std::unique_ptr<ITzPicture> Load(const Bytes& bytes, int* error = nullptr)
{
    MemoryFile file;
    file.bytes = bytes;
    PictureReader reader(&file.stream);
    while (reader.Step()) {
    }
    if (error)
        *error = reader.Error();
    return std::unique_ptr<ITzPicture>(reader.TakePicture());
}

inline void Le16(Bytes& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void Le32(Bytes& out, uint32_t v)
{
    Le16(out, uint16_t(v));
    Le16(out, uint16_t(v >> 16));
}

inline Bytes Chunk(const char (&tag)[5], const Bytes& payload)
{
    Bytes out;
    Le32(out, PTzFourCC(tag));
    Le32(out, uint32_t(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes Head(uint32_t version = 1)
{
    Bytes out;
    Le32(out, 0x7964776B);
    Le32(out, version);
    out.resize(16);
    return out;
}

inline Bytes PictInfo(uint32_t width, uint32_t height)
{
    Bytes out;
    Le32(out, width);
    Le32(out, height);
    out.insert(out.end(), {0, 3, 1, 0});
    Le32(out, 0);
    Le32(out, 0);
    return Chunk("pifb", out);
}

inline Bytes LayerInfo(uint32_t width, uint32_t height, int32_t left = 0, int32_t top = 0)
{
    Bytes out;
    for (uint32_t v : {2u, width, height, uint32_t(left), uint32_t(top)})
        Le32(out, v);
    out.insert(out.end(), {3, 255, 1, 0});
    return Chunk("lifb", out);
}

inline Bytes PreviewInfo(int32_t offsetX, int32_t offsetY, uint16_t across, uint16_t down)
{
    Bytes out = {3, 8, 0, 0};
    Le32(out, uint32_t(offsetX));
    Le32(out, uint32_t(offsetY));
    Le16(out, across);
    Le16(out, down);
    return Chunk("prei", out);
}

inline Bytes UniformBlocks(uint32_t count)
{
    Bytes out;
    for (uint32_t i = 0; i < count; ++i)
        out.insert(out.end(), {0x0F, 0, 0, 0, 0});
    return Chunk("pred", out);
}

inline Bytes Name(const std::u16string& name)
{
    Bytes out;
    for (char16_t c : name)
        Le16(out, c);
    Le16(out, 0);
    return Chunk("name", out);
}

// A layer of one uniform block at the origin.
inline Bytes SmallLayer(const Bytes& extra = {})
{
    return Chunk("layr", Cat({Name(u"A"), LayerInfo(1, 1), extra,
                              Chunk("prev", Cat({PreviewInfo(0, 0, 1, 1), UniformBlocks(1)}))}));
}

inline Bytes File(const Bytes& pictPayload, uint32_t version = 1)
{
    return Cat({Head(version), Chunk("pict", pictPayload)});
}

inline ITzLayerImageARGB* AddLayer(ITzPicture& picture, PTzRECT bounds)
{
    ITzLayerImageARGB* layer = picture_test::MakeLayer(bounds);
    picture.InsertLayer(picture.GetLayerCount(), layer);
    return layer;
}


}  // namespace native_test
