// Included once by each screenshot program (*_xcb.cpp), which runs on a real X server.
// Under the sanitizers, the X connection's own libraries are not this program's to fix:
// libxkbcommon-x11 copies counted names with strndup, which strict string checks read
// past, and libdbus keeps a block for the process's life.
#pragma once

extern "C" __attribute__((visibility("default"))) const char* __asan_default_suppressions()
{
    return "interceptor_via_lib:libxkbcommon-x11.so\n";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
