// The memory stream: the stream record over a caller's block, which it never owns,
// grows or frees. Destroy it with PTzDestoryMemStream (io_stream.h).
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "io_stream.h"

// A stream over size bytes at data, or null: -1 for null data, -51 when memory failed.
CORVANE_C _tagPTzIOSTREAM* PTzCreateMemStream(void* data, uint32_t size);

// Used inside Corvane.
namespace corvane {

bool isMemStream(const _tagPTzIOSTREAM* stream);
void destroyMemStream(_tagPTzIOSTREAM* stream);

}  // namespace corvane
