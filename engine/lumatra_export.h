// Marks the names liblumatra.so exports; everything else stays hidden.
#pragma once

#define LUMATRA_API __attribute__((visibility("default")))
#define LUMATRA_C extern "C" LUMATRA_API
