// Helpers shared by the layer-manager and layer-merge tools: the editing ticket of one
// edit, whether a picture holds a layer, taking a layer out for an undo record so that it
// can go back exactly, and the active index a replay gives back.
#pragma once

#include <cstdint>

class ITzLayerBase;
class ITzPicture;
class ITzToolBase;

namespace lumatra {

// Holds the tool's editing ticket for one edit; ok() is false when the ticket was
// refused (or the picture is null), and then the edit must not run.
class ToolEditScope {
public:
    ToolEditScope(ITzToolBase& tool, ITzPicture* picture);
    ~ToolEditScope();
    ToolEditScope(const ToolEditScope&) = delete;
    ToolEditScope& operator=(const ToolEditScope&) = delete;
    bool ok() const { return m_held; }

private:
    ITzToolBase& m_tool;
    ITzPicture* m_picture;
    bool m_held;
};

bool PictureHoldsLayer(ITzPicture& picture, const ITzLayerBase* layer);

// Takes the layer at the index out of the picture; the caller owns it. It keeps its link
// number, so putting it back with InsertLayer puts it back into its link group. Null
// when the index is at or above the count.
ITzLayerBase* TakeLayerOut(ITzPicture& picture, uint16_t index);

// Makes the recorded index active and records `before` in its place, so the next replay
// gives that one back. A replay reads `before` ahead of its stack changes, since the
// picture pulls its active index into a smaller stack and a move changes it.
void SwapActiveLayer(ITzPicture& picture, uint16_t& recorded, uint16_t before);

}  // namespace lumatra
