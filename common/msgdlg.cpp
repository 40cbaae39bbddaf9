#include <windows.h>
#include "common/msgdlg.h"

int ShowErrorMessage(int) { return -1; }
int ShowWarningMessage(int, unsigned int, const char *) { return -1; }
int GetWarningDontShowAgain(void) { return 0; }
