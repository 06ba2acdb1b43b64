// Uniform-channel storage of the tile grid: a block channel whose 65,536 bytes are all
// equal is kept as that byte; these functions test, expand, copy and fold channels.
// The image layers and their undo copies share them, whatever the block kind.
#pragma once

#include <cstdint>

#include "base/memory.h"
#include "engine/lumatra_export.h"

// 1 and the common byte in `value` when all `count` bytes equal the first, else 0.
// Compares eight bytes at a time and stops at the first difference; an empty run or a
// null pointer gives 0.
LUMATRA_C int ITzBytesUniform(const uint8_t* bytes, uint32_t count, uint8_t* value);

// A new 65,536-byte channel handle filled with `value`; null when memory is short.
LUMATRA_C PTzHANDLE ITzChannelExpand(uint8_t value);
// 1 and the common byte when every byte of the channel is equal; 0 otherwise or for a
// null or unlockable handle. The handle is never freed here: its owner decides.
LUMATRA_C int ITzChannelUniform(PTzHANDLE channel, uint8_t* value);
// A new handle holding the same bytes; null for a null handle or when memory is short.
LUMATRA_C PTzHANDLE ITzChannelDuplicate(PTzHANDLE channel);
// One 65,536-byte page of a block channel: a copy of the handle's bytes, or the constant
// repeated when the handle is null. 0; -1001 for a null page or a handle that cannot be
// locked or holds fewer bytes.
LUMATRA_C int ITzChannelToPage(PTzHANDLE channel, uint8_t constant, uint8_t* page);
// Copies one block channel (a handle, or a uniform channel's `value` when null) into a
// destination channel's handle and constant: a uniform source leaves the destination
// uniform at the value, its handle freed; a handle's 65,536 bytes go into the
// destination's handle, made first when it has none. 1; 0 for a null destination, or
// when its handle cannot be made, is short, or either handle cannot be locked.
LUMATRA_C int ITzChannelCopyInto(PTzHANDLE source, uint8_t value, PTzHANDLE* destHandle, uint8_t* destValue);
