// Reading and writing the brush file's head and entries. Every size comes from outside
// and is checked against the bytes left before it is used; the declared count only
// bounds the loop, never an allocation.
#include "app/ui/brush_file.h"

#include <algorithm>
#include <climits>
#include <new>

#include "app/ui/brush_round.h"
#include "app/ui/brush_stream.h"

static_assert(BRUSH_FILE_HEAD_SIZE == 16 && BRUSH_ENTRY_HEAD_SIZE == 8);
static_assert(CBrushDataBase::kBaseRecordSize == sizeof(uint32_t) + sizeof(uint8_t));
static_assert(CBrushRound::kRecordSize == 10, "spacing, flags, u16 diameter at offset 5, three bytes");

namespace {

// Moves the position forward to end, in steps a stream seek can take.
bool SkipTo(_tagPTzIOSTREAM* stream, uint64_t end)
{
    uint64_t position = PTzIOStreamSeek(stream, 0, 1);
    while (position < end) {
        const uint64_t step = std::min<uint64_t>(end - position, INT32_MAX);
        const uint64_t reached = PTzIOStreamSeek(stream, int32_t(step), 1);
        if (reached != position + step)
            return false;
        position = reached;
    }
    return position == end;
}

}  // namespace

std::unique_ptr<CBrushDataBase> CreateBrushByType(uint32_t type)
{
    if (type == CBrushRound::kType)
        return std::unique_ptr<CBrushDataBase>(new (std::nothrow) CBrushRound(1, 0));
    return nullptr;
}

BrushFileRead ReadBrushLibrary(_tagPTzIOSTREAM* stream, BrushRecords* records, uint32_t* defaultCount)
{
    uint32_t high = 0;
    const uint64_t size = PTzIOStreamSize(stream, &high) | uint64_t(high) << 32;
    uint32_t magic = 0;
    uint32_t version = 0;
    uint32_t count = 0;
    uint32_t defaults = 0;
    if (PTzIOStreamSeek(stream, 0, 0) != 0 || !ReadStreamU32(stream, &magic) || !ReadStreamU32(stream, &version) ||
        !ReadStreamU32(stream, &count) || !ReadStreamU32(stream, &defaults) || magic != BRUSH_FILE_MAGIC ||
        version != BRUSH_FILE_VERSION)
        return BrushFileRead::NotALibrary;
    *defaultCount = std::min(defaults, count);
    uint64_t position = BRUSH_FILE_HEAD_SIZE;
    for (uint32_t entry = 0; entry < count; ++entry) {
        uint32_t type = 0;
        uint32_t recordSize = 0;
        if (size - position < BRUSH_ENTRY_HEAD_SIZE || !ReadStreamU32(stream, &type) ||
            !ReadStreamU32(stream, &recordSize))
            return BrushFileRead::Cut;
        position += BRUSH_ENTRY_HEAD_SIZE;
        if (recordSize > size - position)
            return BrushFileRead::Cut;
        const uint64_t end = position + recordSize;
        if (std::unique_ptr<CBrushDataBase> record = CreateBrushByType(type);
            record && record->Load(stream, recordSize))
            records->push_back(std::move(record));
        if (!SkipTo(stream, end))
            return BrushFileRead::Cut;
        position = end;
    }
    return BrushFileRead::Whole;
}

bool WriteBrushLibrary(_tagPTzIOSTREAM* stream, const BrushRecords& records, uint32_t defaultCount)
{
    const uint32_t count = uint32_t(records.size());
    if (!WriteStreamU32(stream, BRUSH_FILE_MAGIC) || !WriteStreamU32(stream, BRUSH_FILE_VERSION) ||
        !WriteStreamU32(stream, count) || !WriteStreamU32(stream, std::min(defaultCount, count)))
        return false;
    for (const std::unique_ptr<CBrushDataBase>& record : records) {
        if (!WriteStreamU32(stream, record->GetType()) || !WriteStreamU32(stream, record->GetRecordSize()) ||
            !record->Save(stream))
            return false;
    }
    return true;
}
