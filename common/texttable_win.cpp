#include <windows.h>
#include "common/texttable.h"

void LoadTextTable(void) {}
