// What the picture asks of the layer-manager tool: the undoable forms of its layer-stack
// and layer-property edits. The layer-manager tool implements it and installs its maker;
// until then those forms refuse with 0 and change nothing.
#pragma once

#include <cstdint>

#include "engine/lumatra_export.h"

class ITzLayerBase;
class ITzPicture;
struct _tagITzLAYERINFO;

class LUMATRA_API ITzPictLayerManagerLink {
public:
    virtual ~ITzPictLayerManagerLink();

    // Each applies the edit through the picture's plain form and records one undo step:
    // 1 when a step was made, else 0 with the picture as it was.
    // The inserted layer becomes the active one.
    virtual int InsertLayer(ITzPicture* picture, uint16_t index, ITzLayerBase* layer) = 0;
    // The removed layer belongs to the undo step from then on.
    virtual int RemoveLayer(ITzPicture* picture, uint16_t index) = 0;
    virtual int MoveLayer(ITzPicture* picture, uint16_t from, uint16_t to) = 0;
    // link 0 unlinks the layer from the active layer, nonzero links it.
    virtual int SetLayerLink(ITzPicture* picture, ITzLayerBase* layer, int link) = 0;
    virtual int SetLayerVisibility(ITzPicture* picture, ITzLayerBase* layer, int visible) = 0;
    virtual int SetLayerInfo(ITzPicture* picture, ITzLayerBase* layer, _tagITzLAYERINFO* info) = 0;
};

// Makes a temporary link for one edit; the caller deletes it. Null when it cannot.
using ITzPictLayerManagerMaker = ITzPictLayerManagerLink* (*)();

// Installs the maker (null removes it).
LUMATRA_C void ITzSetPictLayerManagerMaker(ITzPictLayerManagerMaker maker);
LUMATRA_C ITzPictLayerManagerMaker ITzGetPictLayerManagerMaker();
