// Fuzzes the header-less bitmap loader (an info header, colours, then pixels, as the
// clipboard holds them) through the plug-in's own entries.
#include "fuzz/bmp_fuzz_harness.h"

namespace {

void* startDib(_tagPTzIOSTREAM* stream, fuzzing::RowCheck*, int* error)
{
    return FTzBMPLoadDIBStart(stream, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzing::ReadAll(data, size,
                            {startDib, FTzBMPLoadDIBGetInfo, FTzBMPLoadDIBSetCallBack, FTzBMPLoadDIBLoading,
                             FTzBMPLoadDIBEnd});
}
