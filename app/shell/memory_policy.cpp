// 1 GiB: more than a large picture's tiles, so opening one after closing another reuses
// the pages; the kernel still takes them back under memory pressure once swapped.
#include "app/shell/memory_policy.h"

#include <malloc.h>

namespace quorvel {

void KeepFreedMemory()
{
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace quorvel
