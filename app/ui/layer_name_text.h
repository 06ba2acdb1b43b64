// A layer's name as text: the layer list's rows and the properties dialog show it.
#pragma once

#include <QString>

class ITzLayerBase;

// The 64-unit name up to its terminator (all 64 units when there is none).
QString LayerNameText(const ITzLayerBase& layer);
