#include <windows.h>
#include <gtest/gtest.h>

#include "common/app.h"
#include "resources/resource.h"

TEST(Resources, TemplatesAndTextTableArePresent)
{
    const int dialogs[] = { IDD_MAINMENU, IDD_MESSAGE, IDD_SYSINFO, IDD_GRAPHICS, IDD_WAIT, IDD_TEAM, IDD_ARTBOOK };
    for (int id : dialogs)
        EXPECT_NE(FindResourceA(Instance, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG), nullptr) << id;
    EXPECT_NE(FindResourceA(Instance, MAKEINTRESOURCEA(IDR_TEXTTABLE), (LPCSTR)RT_RCDATA), nullptr);
}

TEST(TestPrefix, DemoDiscIsACdRomDrive)
{
    EXPECT_EQ(GetDriveTypeA("R:\\"), (UINT)DRIVE_CDROM);
    EXPECT_NE(GetFileAttributesA("R:\\Launcher\\Launcher.exe"), INVALID_FILE_ATTRIBUTES);
}
