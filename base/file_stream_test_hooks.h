// Test-only entry to the file stream: a stream over a descriptor the test opened,
// such as /dev/full, which the regular-file-only opens refuse.
#pragma once

#include <cstdint>

#include "corvane_export.h"
#include "io_stream.h"

// Takes ownership of fd (closed on failure too); its size is fd's size now.
CORVANE_C _tagPTzIOSTREAM* PTzTestFileStreamOverDescriptor(int fd, uint32_t mode, uint32_t windowBytes);
