/* The system information dialog: its texts, its report and its keys. */
#include <windows.h>
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <string>

#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "sysinfo/inventory.h"
#include "sysinfo/machinereport.h"
#include "sysinfo/facts.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"
#include "sysinfo/sysdlg.h"
#include "tests/win32/guitest.h"
#include "tests/win32/sysinfo_scratch.h"

namespace {

/* A key as the user presses it: the dialog's modal loop hands it to the
 * dialog manager, which turns Enter and Esc into commands. */
void Key(HWND dialog, UINT vk)
{
    PostMessageA(dialog, WM_KEYDOWN, vk, 0);
    PostMessageA(dialog, WM_KEYUP, vk, 0xC0000000);
}

std::string Report()
{
    char report[SYSTEM_REPORT_SIZE];
    BuildSystemReport(report, sizeof report);
    return report;
}

}

TEST(SystemInformationDialog, ShowsTheReportAndClosesOnEnterOnly)
{
    ASSERT_EQ(DiscoverDrives(), 1);
    CpuSpeedMhz = 166;
    std::string shown, caption, button;
    bool readOnly = false, enabled = false;
    bool openAfterEsc = false;
    HWND dialog = NULL;
    gui::OnDialog(GetText(TEXT_SYSINFO_CAPTION), [&](HWND d) {
        dialog = d;
        caption = gui::Text(d);
        button = gui::ItemText(d, IDOK);
        shown = gui::ItemText(d, IDC_SYSINFO_REPORT);
        HWND edit = GetDlgItem(d, IDC_SYSINFO_REPORT);
        readOnly = (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0;
        enabled = IsWindowEnabled(edit) != 0;
        Key(d, VK_ESCAPE);
    });
    /* A few ticks later the Esc has been handled and the dialog stands. */
    int ticks = 0;
    gui::Queue([&]() { return ++ticks >= 5; });
    gui::Queue([&]() {
        openAfterEsc = IsWindow(dialog) && IsWindowVisible(dialog);
        Key(dialog, VK_RETURN);
        return true;
    });
    gui::Start();
    EXPECT_EQ(ShowSystemInformation(NULL), 0);
    ASSERT_TRUE(gui::Finish());
    EXPECT_TRUE(openAfterEsc);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(caption, GetText(TEXT_SYSINFO_CAPTION));
    EXPECT_EQ(button, GetText(TEXT_BACK));
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(shown, Report());

    /* The report of the Wine machine: all seven sections, the disc's drive
     * among the CD-ROM lines, the speed measured at start-up. */
    for (int heading : { TEXT_SYSINFO_PROCESSOR, TEXT_SYSINFO_MEMORY, TEXT_SYSINFO_KEYBOARD, TEXT_SYSINFO_MOUSE,
                         TEXT_SYSINFO_CDROM, TEXT_SYSINFO_GRAPHICS, TEXT_SYSINFO_SOUND })
        EXPECT_NE(shown.find(std::string(GetText(heading)) + "\r\n"), std::string::npos) << heading;
    EXPECT_NE(shown.find(" 166 MHz\r\n"), std::string::npos);
    const CdDrive *first = GetDrive(0);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(shown.find(std::string(GetText(TEXT_SYSINFO_CDROM)) + "\r\n#1 [" + first->letter + ":] " + first->description
                         + "\r\n"),
              std::string::npos);
    EXPECT_NE(shown.find("[R:] "), std::string::npos);
}

TEST(SystemInformationDialog, CloseRequestEndsItAndReopeningShowsTheSame)
{
    ASSERT_EQ(DiscoverDrives(), 1);
    std::string first, second;
    gui::OnDialog(GetText(TEXT_SYSINFO_CAPTION), [&](HWND d) {
        first = gui::ItemText(d, IDC_SYSINFO_REPORT);
        gui::Close(d);
    });
    gui::Start();
    EXPECT_EQ(ShowSystemInformation(NULL), 0);
    ASSERT_TRUE(gui::Finish());
    gui::OnDialog(GetText(TEXT_SYSINFO_CAPTION), [&](HWND d) {
        second = gui::ItemText(d, IDC_SYSINFO_REPORT);
        gui::Press(d, IDOK);
    });
    gui::Start();
    EXPECT_EQ(ShowSystemInformation(NULL), 0);
    ASSERT_TRUE(gui::Finish());
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
}

TEST(SystemReport, FailedSpeedAndNoDrives)
{
    CpuSpeedMhz = -1;
    CdDrives = CdDriveList();
    const std::string report = Report();
    char name[SYSINFO_TEXT_SIZE];
    GetProcessorName(name, sizeof name);
    EXPECT_NE(report.find(std::string(GetText(TEXT_SYSINFO_PROCESSOR)) + "\r\n" + name + " -1 MHz\r\n\r\n"), std::string::npos);
    EXPECT_NE(report.find(std::string(GetText(TEXT_SYSINFO_CDROM)) + "\r\n\r\n" + GetText(TEXT_SYSINFO_GRAPHICS) + "\r\n"), std::string::npos);
    DiscoverDrives();
}

TEST(SystemReport, WithoutWindows95SourcesTheSystemsOwnFactsShow)
{
    /* Wine, like Windows NT and later, has no hardware tree, no mixer key
     * and no "boot.description". */
    ASSERT_FALSE(scratch::KeyExists("Enum"));
    ASSERT_FALSE(scratch::KeyExists("System\\CurrentControlSet\\control\\MediaResources"));
    scratch::SystemIni ini;
    ASSERT_TRUE(ini.Write("[mci]\r\ncdaudio=mcicda.dll\r\n"));

    char value[256] = "";
    DWORD size = sizeof value - 1;
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                           "ProcessorNameString", RRF_RT_REG_SZ, NULL, value, &size),
              ERROR_SUCCESS);
    std::string name = value;
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    ASSERT_FALSE(name.empty());

    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    char memory[32];
    snprintf(memory, sizeof memory, "%.0f Mb", floor((status.ullTotalPhys + 655360.0) / 1048576.0));

    std::string adapter;
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    for (DWORD i = 0; adapter.empty() && EnumDisplayDevicesA(NULL, i, &device, 0); i++)
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE)
            adapter = device.DeviceString;
    ASSERT_FALSE(adapter.empty());

    CpuSpeedMhz = 166;
    const std::string report = Report();
    EXPECT_NE(report.find(std::string(GetText(TEXT_SYSINFO_PROCESSOR)) + "\r\n" + name + " 166 MHz\r\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find(std::string(GetText(TEXT_SYSINFO_MEMORY)) + "\r\n" + memory + "\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find(std::string(GetText(TEXT_SYSINFO_GRAPHICS)) + "\r\n" + adapter + "\r\n"), std::string::npos)
        << report;
}
