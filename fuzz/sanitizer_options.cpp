// The fuzz targets' sanitizer defaults (ASAN_OPTIONS still overrides them): a freed block
// waits in quarantine until 64 MB more have been freed, not 256 MB. One input frees far
// less, so a use after free within an input is still caught, while the allocator goes on
// reusing memory that is mapped and in cache instead of touching fresh pages.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "quarantine_size_mb=64";
}
