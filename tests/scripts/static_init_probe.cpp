// A module with a static initialiser, which scripts/check-static-init must refuse.
#include <vector>

std::vector<int> g_madeAtLoad(3);
