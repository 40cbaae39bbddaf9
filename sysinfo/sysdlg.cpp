#include <windows.h>
#include "sysinfo/sysinfo.h"

int CheckMinimumSpecification(void) { return 0; }
int ShowSystemInformation(HWND) { return 0; }
int DiscoverDrives(void) { return 0; }
void ResolveCDRootDrive(const char *) {}
