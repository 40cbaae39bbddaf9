/* mainwnd */
#include <windows.h>
