// Marks the names libformick.so exports; everything else stays hidden.
#pragma once

#define FORMICK_API __attribute__((visibility("default")))
#define FORMICK_C extern "C" FORMICK_API
