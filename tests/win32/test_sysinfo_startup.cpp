/* The start-up minimum-requirements check with the speed library beside
 * the program: one reporting 100 MHz, one making no measurement, one
 * without the export, and none at all; and with one planted in the current
 * directory. Each case runs a copy of this program from a folder of its
 * own, beside its own cpuinf32.dll, as the launcher's start-up would: the
 * current directory first taken out of the library search. */
#include <windows.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

#include "common/texttable.h"
#include "common/dllsearch.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "sysinfo/inventory.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"
#include "sysinfo/machinereport.h"
#include "sysinfo/minrequirements.h"
#include "tests/win32/guitest.h"
#include "tests/harness/procwin.h"
#include "tests/win32/sysinfo_scratch.h"

namespace {

const char ExpectVariable[] = "KVL_EXPECTED_SPEED";
const char PreloadVariable[] = "KVL_PRELOADED_LIBRARY";

enum Planted { NOT_PLANTED, PLANTED, PLANTED_AND_LOADED };

/* Runs this program's StartupChild test from a scratch folder holding the
 * named stand-in library (or none); returns its exit code. A planted
 * library is another stand-in in the child's current directory, and the
 * child may load it before the check, as anything else in the process
 * could have. */
DWORD RunChild(const char *library, int expectedSpeed, const char *plantedLibrary = nullptr,
               Planted planted = NOT_PLANTED)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "kvl_speed_" + (library ? library : "missing") + "\\";
    const std::string plantedFolder = std::string(temp) + "kvl_speed_planted\\";
    const std::string plantedDll = plantedFolder + "cpuinf32.dll";
    CreateDirectoryA(folder.c_str(), NULL);
    if (planted != NOT_PLANTED) {
        CreateDirectoryA(plantedFolder.c_str(), NULL);
        const std::string source = scratch::ProgramFolder() + "..\\speedlibs\\" + plantedLibrary + "\\cpuinf32.dll";
        if (!CopyFileA(source.c_str(), plantedDll.c_str(), FALSE))
            return 1003;
    }
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    const std::string exe = folder + "startup_child.exe";
    const std::string dll = folder + "cpuinf32.dll";
    DeleteFileA(dll.c_str());
    if (!CopyFileA(self, exe.c_str(), FALSE))
        return 1000;
    if (library) {
        const std::string source = scratch::ProgramFolder() + "..\\speedlibs\\" + library + "\\cpuinf32.dll";
        if (!CopyFileA(source.c_str(), dll.c_str(), FALSE))
            return 1001;
    }

    const std::vector<std::string> env = {
        std::string(ExpectVariable) + "=" + std::to_string(expectedSpeed),
        std::string(PreloadVariable) + "=" + (planted == PLANTED_AND_LOADED ? plantedDll : ""),
    };
    const std::string cwd = planted != NOT_PLANTED ? plantedFolder : folder;
    proc::Program child;
    DWORD code = 1002;
    if (proc::Start("\"" + exe + "\" --gtest_filter=StartupChild.*", cwd, env, &child)
        && !proc::WaitExit(child, 120000, &code))
        code = 1004;
    proc::Stop(&child);
    DeleteFileA(exe.c_str());
    DeleteFileA(dll.c_str());
    RemoveDirectoryA(folder.c_str());
    DeleteFileA(plantedDll.c_str());
    RemoveDirectoryA(plantedFolder.c_str());
    return code;
}

}

TEST(StartupCheck, SlowLibraryShowsTheProcessorWarning)
{
    EXPECT_EQ(RunChild("mhz100", 100), 0u);
}

TEST(StartupCheck, UnmeasuredSpeedRaisesNoWarning)
{
    EXPECT_EQ(RunChild("unmeasured", -2), 0u);
}

TEST(StartupCheck, LibraryWithoutTheExportCountsAsUnmeasured)
{
    EXPECT_EQ(RunChild("noexport", -2), 0u);
}

TEST(StartupCheck, MissingLibraryRaisesNoWarning)
{
    EXPECT_EQ(RunChild(nullptr, -1), 0u);
}

TEST(StartupCheck, LibraryPlantedInTheCurrentDirectoryIsNotSearched)
{
    EXPECT_EQ(RunChild(nullptr, -1, "mhz100", PLANTED), 0u);
}

TEST(StartupCheck, LibraryBesideTheProgramWinsOverAPlantedOneAlreadyLoaded)
{
    EXPECT_EQ(RunChild("mhz100", 100, "unmeasured", PLANTED_AND_LOADED), 0u);
}

/* The child's side: only run from RunChild. */
TEST(StartupChild, CheckWithTheLibraryOfThisFolder)
{
    const char *expected = getenv(ExpectVariable);
    if (!expected)
        GTEST_SKIP() << "runs as a child of the StartupCheck tests";
    const int speed = atoi(expected);
    RemoveCurrentDirectoryFromDllSearch();
    const char *preload = getenv(PreloadVariable);
    if (preload) {
        ASSERT_NE(LoadLibraryA(preload), (HMODULE)NULL) << preload;
    }

    std::string warning;
    bool shown = false;
    if (speed >= 0 && speed < 120) {
        gui::OnNextDialog([&](HWND d) {
            shown = true;
            warning = gui::ItemText(d, IDC_MSG_TEXT);
            gui::Press(d, IDC_MSG_BUTTON);
        });
    } else {
        /* Any dialog would block until the timeout ends it: a failure. */
        gui::OnNextDialog([&](HWND d) { shown = true; gui::Close(d); });
    }
    gui::Start(speed >= 0 ? 15000 : 3000);
    const int failed = CheckMinimumSpecification();
    const bool finished = gui::Finish();

    EXPECT_EQ(CpuSpeedMhz, speed);
    EXPECT_EQ(MeasureCpuSpeed(), speed);
    if (speed >= 0 && speed < 120) {
        EXPECT_TRUE(finished);
        EXPECT_EQ(failed, 1);
        EXPECT_TRUE(shown);
        char first[MIN_SPEC_PART_SIZE];
        snprintf(first, sizeof first, GetText(TEXT_MINSPEC_SLOW_CPU), speed);
        EXPECT_EQ(warning.rfind(first, 0), 0u) << warning;
        const std::string closing = GetText(TEXT_MINSPEC_CONCLUSION);
        ASSERT_GE(warning.size(), closing.size());
        EXPECT_EQ(warning.substr(warning.size() - closing.size()), closing);
    } else {
        EXPECT_EQ(failed, 0);
        EXPECT_FALSE(shown);
        /* The report shows the failed measurement after the name. */
        char report[SYSTEM_REPORT_SIZE];
        BuildSystemReport(report, sizeof report);
        char line[32];
        snprintf(line, sizeof line, " %d MHz\r\n", speed);
        EXPECT_NE(std::string(report).find(line), std::string::npos);
    }
}
