// The parts of the program that stand on the shell, as the makers start-up is given: main()
// hands them to the application object, tests make their own.
#pragma once

#include "app/shell/application.h"

CShellParts MakeProgramParts();
