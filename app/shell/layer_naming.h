// The name the New Layer command gives: "Layer" for number 0, else "Layer <n>", with n
// starting at the picture's layer count and counting up past the names its layers
// already bear (compared exactly) up to 199, which is taken even when a layer bears it.
// Layers that come without a name (a new picture's, a new text layer, a paste from an
// unnamed source) are named by the same rule.
#pragma once

#include <cstdint>
#include <string>

class ITzPicture;

std::u16string MakeNewLayerName(ITzPicture& picture);
// Gives the layer at the index, when it bears no name, the name New Layer would have given
// it just before it came (the only layer of a picture is "Layer").
void NameUnnamedLayer(ITzPicture& picture, uint16_t index);
