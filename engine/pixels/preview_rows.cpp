// The rows of a stack of layers: each layer's rows run in turn on the band.
#include "engine/pixels/preview_rows.h"

ITzPreviewRows::~ITzPreviewRows() = default;

void ITzPreviewRowsStack::Run(const _tagITzBITMAP& bitmap, int32_t top, int32_t bottom) const
{
    for (const auto& layer : m_layers)
        layer->Run(bitmap, top, bottom);
}
