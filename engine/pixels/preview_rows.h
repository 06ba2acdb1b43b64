// A layer's share of a display composition planned on one thread and run in bands of
// destination rows, perhaps by several threads at once: planning fetches, builds and
// locks every block the rows show, so that running reads only those pixels and writes
// only the rows it is given. A plan is dropped on the thread that made it, before
// anything changes the layers it shows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/lumatra_export.h"
#include "engine/pixels/bitmap.h"

class LUMATRA_API ITzPreviewRows {
public:
    virtual ~ITzPreviewRows();
    // Composes the rows [top, bottom) of the planned destination onto `bitmap`, the
    // bitmap the plan was made for (or one of its size, depth and colour mode). Runs on
    // disjoint rows may overlap in time.
    virtual void Run(const _tagITzBITMAP& bitmap, int32_t top, int32_t bottom) const = 0;
};

// Layers' rows run one after the other on each band, bottom layer first.
class LUMATRA_API ITzPreviewRowsStack : public ITzPreviewRows {
public:
    void Add(std::unique_ptr<ITzPreviewRows> layer) { m_layers.push_back(std::move(layer)); }
    void Run(const _tagITzBITMAP& bitmap, int32_t top, int32_t bottom) const override;

private:
    std::vector<std::unique_ptr<ITzPreviewRows>> m_layers;
};
