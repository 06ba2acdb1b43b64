// Brush files written byte by byte for the brush library's tests, and the default set
// as a table, so the tests compare against the layout and not against the code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/ui/brush_round.h"

namespace brushtest {

inline void Put32(std::string* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(char(v >> (8 * i)));
}

inline std::string Head(uint32_t count, uint32_t defaults, uint32_t magic = 0x72626666, uint32_t version = 1)
{
    std::string out;
    Put32(&out, magic);
    Put32(&out, version);
    Put32(&out, count);
    Put32(&out, defaults);
    return out;
}

struct Round {
    uint32_t spacing = 20;
    uint8_t flags = 1;
    uint16_t diameter = 1;
    uint8_t hardness = 0;
    uint8_t roundness = 100;
    uint8_t angle = 0;
};

// A 'rond' entry; size other than 10 appends zero bytes or cuts the record.
inline std::string RondEntry(const Round& r, uint32_t size = 10)
{
    std::string record;
    Put32(&record, r.spacing);
    record += char(r.flags);
    record += char(r.diameter & 0xFF);
    record += char(r.diameter >> 8);
    record += char(r.hardness);
    record += char(r.roundness);
    record += char(r.angle);
    record.resize(size, '\0');
    std::string out;
    Put32(&out, CBrushRound::kType);
    Put32(&out, size);
    return out + record;
}

// The twenty default brushes: diameter, hardness, spacing.
struct DefaultRow {
    uint16_t diameter;
    uint8_t hardness;
    uint32_t spacing;
};
inline const std::vector<DefaultRow>& DefaultSet()
{
    static const std::vector<DefaultRow> rows = {
        {1, 0, 20},    {5, 0, 20},    {9, 0, 20},    {13, 0, 20},   {17, 0, 20},   {25, 0, 20},  {35, 0, 20},
        {55, 0, 20},   {5, 100, 20},  {9, 100, 20},  {13, 100, 20}, {17, 100, 20}, {25, 100, 20}, {35, 100, 20},
        {55, 100, 20}, {9, 0, 100},   {13, 0, 100},  {17, 0, 100},  {25, 0, 120},  {35, 0, 120},
    };
    return rows;
}

// The default library as this program writes it.
inline std::string DefaultLibrary()
{
    std::string out = Head(20, 20);
    for (const DefaultRow& row : DefaultSet())
        out += RondEntry({row.spacing, 1, row.diameter, row.hardness, 100, 0});
    return out;
}

}  // namespace brushtest
