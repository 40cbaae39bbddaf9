#include <gtest/gtest.h>

#include "launcher/cmdline.h"

TEST(ProgramFolder, Placeholder)
{
    char folder[260];
    EXPECT_EQ(ProgramFolderFromCommandLine("Launcher.exe", folder, sizeof folder), 0);
}
