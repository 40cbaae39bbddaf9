#include "launcher/cmdline.h"

int ProgramFolderFromCommandLine(const char *, char *folder, size_t cap) { if (cap) folder[0] = 0; return 0; }
