// What the crop asks of the auto-convert tool: every layer of a picture that is no image
// layer turned into an image layer, as one undo step. The auto-convert tool installs its
// function; until then the crop refuses pictures that hold such layers.
#pragma once

#include "engine/lumatra_export.h"

class ITzPicture;

// Converts the picture's layers under the caller's editing state: 1 when every layer is
// an image layer afterwards and the step is recorded, else 0 with the picture unchanged.
using ITzCropLayerConverter = int (*)(ITzPicture* picture);

// Installs the converter (null removes it).
LUMATRA_C void ITzSetCropLayerConverter(ITzCropLayerConverter converter);
LUMATRA_C ITzCropLayerConverter ITzGetCropLayerConverter();
