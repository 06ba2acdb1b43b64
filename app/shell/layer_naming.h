// The name the New Layer command gives: "Layer" for number 0, else "Layer <n>", with n
// starting at the picture's layer count and counting up past the names its layers
// already bear (compared exactly) up to 199, which is taken even when a layer bears it.
#pragma once

#include <string>

class ITzPicture;

std::u16string MakeNewLayerName(ITzPicture& picture);
