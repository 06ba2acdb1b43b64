// Edits that read or replace a layer's stored pixels (cut, delete, the layer merges, crop,
// resize, rotate) first merge the floating layer a selection drag left on it: it holds
// pixels the user sees that are not yet in the layer. Each merge is an 'auto' step under
// the edit's ticket, which undo takes along with the edit. Library-private.
#pragma once

#include <cstdint>
#include <functional>

class ITzLayerBase;
class ITzPicture;

namespace lumatra {

// Merges the floating layer the layer carries, if any: false when it could not be
// merged (the layer keeps it and the edit must not go on).
bool MergeFloatingFirst(ITzPicture& picture, ITzLayerBase* layer);
// The same for every layer of the picture whose index `reads` accepts (all without one).
bool MergeFloatingFirst(ITzPicture& picture, const std::function<bool(uint16_t index)>& reads = nullptr);

}  // namespace lumatra
