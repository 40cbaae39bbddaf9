/* team */
#include <windows.h>
