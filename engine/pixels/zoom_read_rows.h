// A zoomed read of an image layer planned on one thread and run in bands of destination
// rows, perhaps on several threads at once: planning fetches every block the read
// shows (building what is built on read) and locks it; running only reads the locked
// pixels. The plan is dropped on the thread that made it. Library-private.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/pixels/zoom_read_walk.h"

namespace lumatra {

// Reader: ARGBBlockReader or GrayBlockReader; Record: the block record it reads.
template <class Reader, class Record>
class PlannedZoomRead {
public:
    // A read that shows nothing.
    PlannedZoomRead() = default;
    // Calls fetch(index, record) for each block of the plan, as ZoomReadPlan::Walk does;
    // a block it cannot read, or whose pixels cannot be locked, shows nothing.
    template <class Fetch>
    PlannedZoomRead(ZoomReadPlan plan, Fetch&& fetch) : m_plan(std::move(plan))
    {
        m_plan.ForEachBlock([&](uint32_t index, int32_t column, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
            Record record{};
            if (!fetch(index, record))
                return;
            auto reader = std::make_unique<Reader>(record);
            if (reader->ok())
                m_visits.push_back({std::move(reader), {column, x0, x1, y0, y1}});
        });
    }

    // Bytes enough for the row buffer Run takes.
    size_t RowBytes() const { return m_plan.RowBytes(); }
    // emit(y, x0, count, row) for the read's destination rows in [top, bottom), as
    // ZoomReadPlan::Walk emits them; `row` holds RowBytes() bytes.
    template <class Emit>
    void Run(int32_t top, int32_t bottom, uint8_t* row, Emit&& emit) const
    {
        for (const Visit& visit : m_visits)
            if (visit.rows.y0 < bottom && top < visit.rows.y1)
                m_plan.GatherRows(*visit.reader, visit.rows, top, bottom, row, emit);
    }

private:
    struct Visit {
        std::unique_ptr<Reader> reader;
        ZoomVisit rows;
    };
    ZoomReadPlan m_plan;
    std::vector<Visit> m_visits;
};

using PlannedARGBRead = PlannedZoomRead<ARGBBlockReader, _tagITzBLOCKINFOARGB>;
using PlannedGrayRead = PlannedZoomRead<GrayBlockReader, _tagITzBLOCKINFOGRAY>;

}  // namespace lumatra
