// Fuzzes the BMP file reader: the content test, then a whole read session with the
// extra-data callback, through the plug-in's own entries.
#include "fuzz/bmp_fuzz_harness.h"

namespace {

void* startFile(_tagPTzIOSTREAM* stream, fuzzing::RowCheck* check, int* error)
{
    FTzPlugInReadSupportByStream(stream);
    _tagFTzEXTINFOCALLBACK_1 extra{fuzzing::CheckExtra, check};
    return FTzPlugInReadStart_1(stream, &extra, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzing::ReadAll(data, size,
                            {startFile, FTzPlugInReadGetInfo_1, FTzPlugInReadSetCallBack_1, FTzPlugInRead_1,
                             FTzPlugInReadEnd_1});
}
