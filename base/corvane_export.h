// Marks the names libcorvane.so exports; everything else stays hidden.
#pragma once

#define CORVANE_API __attribute__((visibility("default")))
#define CORVANE_C extern "C" CORVANE_API
