#include "common/app.h"

HINSTANCE Instance;
HWND MainWindow;
