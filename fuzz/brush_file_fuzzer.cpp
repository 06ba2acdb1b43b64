// Fuzzes the brush file's reader: whatever it reads must hold only values its setters
// allow and an engine step that did not overflow, and must write back to a library that
// reads again whole to the same records.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/ui/brush_file.h"
#include "app/ui/brush_round.h"
#include "base/corvane_types.h"
#include "base/mem_stream.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr size_t kEntryBytes = BRUSH_ENTRY_HEAD_SIZE + CBrushRound::kRecordSize;

BrushFileRead Read(std::vector<uint8_t>& bytes, size_t size, BrushRecords* records, uint32_t* defaults)
{
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(bytes.data(), uint32_t(size));
    Require(stream != nullptr);
    const BrushFileRead read = ReadBrushLibrary(stream, records, defaults);
    PTzDestoryMemStream(stream);
    return read;
}

const CBrushRound& Round(const CBrushDataBase& record)
{
    Require(record.GetType() == CBrushRound::kType);
    return static_cast<const CBrushRound&>(record);
}

bool SameValues(const CBrushRound& a, const CBrushRound& b)
{
    return a.GetSpacing() == b.GetSpacing() && a.GetDiameter() == b.GetDiameter() &&
           a.GetHardness() == b.GetHardness() && a.GetRoundness() == b.GetRoundness() &&
           a.GetAngle() == b.GetAngle() && a.GetPressureSize() == b.GetPressureSize() &&
           a.GetPressureOpacity() == b.GetPressureOpacity() && a.GetThirdFlag() == b.GetThirdFlag();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= UINT32_MAX)
        return 0;
    // One byte more, so that an empty input still gives the stream a block.
    std::vector<uint8_t> bytes(data, data + size);
    bytes.push_back(0);
    BrushRecords records;
    uint32_t defaults = 0;
    const BrushFileRead read = Read(bytes, size, &records, &defaults);
    Require(read != BrushFileRead::NoFile);
    if (read == BrushFileRead::NotALibrary) {
        Require(records.empty() && defaults == 0);
        return 0;
    }
    Require(size >= BRUSH_FILE_HEAD_SIZE);
    Require(records.size() <= (size - BRUSH_FILE_HEAD_SIZE) / kEntryBytes);
    Require(defaults <= PTzReadLE32(data + 8));
    for (const auto& record : records) {
        const CBrushRound& brush = Round(*record);
        Require(brush.GetSpacing() >= 1 && brush.GetSpacing() <= 1000);
        Require(brush.GetDiameter() >= 1 && brush.GetDiameter() <= 1000);
        Require(brush.GetHardness() <= 100 && brush.GetRoundness() <= 100 && brush.GetAngle() < 180);
        // The tip is sized, not drawn, when it is made: cheap for any diameter.
        ITzBrushBase* tip = record->GetEngineBrush();
        Require(tip && tip->GetStep() == uint32_t(brush.GetDiameter()) * brush.GetSpacing() / 100);
        record->ReleaseEngineBrush();
    }

    std::vector<uint8_t> written(BRUSH_FILE_HEAD_SIZE + records.size() * kEntryBytes + 1);
    _tagPTzIOSTREAM* stream = PTzCreateMemStream(written.data(), uint32_t(written.size() - 1));
    Require(stream && WriteBrushLibrary(stream, records, defaults));
    PTzDestoryMemStream(stream);
    BrushRecords again;
    uint32_t defaultsAgain = 0;
    Require(Read(written, written.size() - 1, &again, &defaultsAgain) == BrushFileRead::Whole);
    Require(again.size() == records.size());
    Require(defaultsAgain == (defaults < records.size() ? defaults : uint32_t(records.size())));
    for (size_t i = 0; i < records.size(); ++i)
        Require(SameValues(Round(*records[i]), Round(*again[i])));
    return 0;
}
