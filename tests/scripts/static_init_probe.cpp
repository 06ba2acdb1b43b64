// A module with a static initialiser and a function whose build the loader chooses,
// both of which scripts/check-static-init must refuse.
#include <vector>

std::vector<int> g_madeAtLoad(3);

__attribute__((target_clones("avx2", "default"))) int ChosenAtLoad(int v)
{
    return v + 1;
}
