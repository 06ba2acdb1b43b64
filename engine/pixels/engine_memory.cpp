// Forwarders from the engine's memory names to the base library.
#include "engine/pixels/engine_memory.h"

void* ITzMemset(uint32_t count, void* pointer, int32_t value)
{
    return PTzMemset(pointer, value, count);
}

void* ITzPointNew(uint32_t bytes)
{
    return PTzPointNew(bytes);
}

void* ITzPointFree(void* block)
{
    return PTzPointFree(block);
}

PTzHANDLE ITzHandleNew(uint32_t bytes)
{
    return PTzHandleNew(bytes);
}

void* ITzHandleFree(PTzHANDLE handle)
{
    return PTzHandleFree(handle);
}

void* ITzHandleLock(PTzHANDLE handle)
{
    return PTzHandleLock(handle);
}

int ITzHandleUnlock(PTzHANDLE handle)
{
    return PTzHandleUnlock(handle);
}
