/* Entry of every Win32 test program: the module handle and the text table
 * are set up as the launcher's start-up does, then the tests run. */
#include <windows.h>
#include <gtest/gtest.h>

#include "common/app.h"
#include "common/texttable.h"
#include "common/texttable_win.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    Instance = GetModuleHandleA(NULL);
    LoadTextTable();
    int result = RUN_ALL_TESTS();
    FreeTextTable();
    return result;
}
