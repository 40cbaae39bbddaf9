/* How the registry walks of the report and of the drive inventory compare
 * with the floor of opening the same keys one by one. Builds a hardware
 * tree "Enum" the size of a Windows 98 machine's (about 5,000 keys, no
 * "CPU" value and no CD-ROM device of the drives present, so that every
 * walk visits its whole subtree), times the walks, prints the ratios and
 * removes the tree. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/app.h"
#include "common/texttable.h"
#include "common/texttable_win.h"
#include "sysinfo/inventory.h"
#include "sysinfo/drivelist.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"
#include "sysinfo/machinereport.h"
#include "tests/harness/fixtures.h"

static const char *const Buses[] = { "Root", "PCI", "ISAPNP", "SCSI", "ESDI", "FLOP", "MONITOR", "BIOS", "HTREE", "USB" };
static const int DevicesPerBus = 50;
static const int InstancesPerDevice = 9;
static const int Rounds = 7;

static std::vector<std::string> Keys;       /* every key of the tree, by path */
static size_t RootKeys;                      /* of them under Enum\Root, itself included */

static double Now()
{
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return (double)c.QuadPart / (double)f.QuadPart;
}

static void SetText(HKEY key, const char *name, const char *value)
{
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, (DWORD)strlen(value) + 1);
}

static bool AddKey(const std::string &path, const char *cls)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL)
        != ERROR_SUCCESS)
        return false;
    if (cls) {
        SetText(key, "Class", cls);
        SetText(key, "DeviceDesc", "Benchmark device with a description of ordinary length");
        SetText(key, "HardwareID", "BENCH\\DEVICE_0000,*PNP0000");
        SetText(key, "Mfg", "(Standard system devices)");
        SetText(key, "Driver", "System\\0000");
    }
    RegCloseKey(key);
    Keys.push_back(path);
    return true;
}

static bool BuildTree()
{
    if (!AddKey("Enum", NULL))
        return false;
    for (const char *bus : Buses) {
        std::string busPath = std::string("Enum\\") + bus;
        size_t before = Keys.size();
        AddKey(busPath, NULL);
        for (int d = 0; d < DevicesPerBus; d++) {
            char device[64];
            snprintf(device, sizeof device, "\\VEN_%04X&DEV_%04X", 0x8086 + d, 0x7000 + d);
            std::string devicePath = busPath + device;
            AddKey(devicePath, NULL);
            for (int i = 0; i < InstancesPerDevice; i++) {
                char instance[16];
                snprintf(instance, sizeof instance, "\\%04d", i);
                AddKey(devicePath + instance, d % 7 == 0 ? "DiskDrive" : "System");
            }
        }
        if (strcmp(bus, "Root") == 0)
            RootKeys = Keys.size() - before;
    }
    return true;
}

/* Fastest of a few rounds: the least disturbed by the rest of the machine. */
template <typename F> static double Best(F run)
{
    double best = 1e30;
    for (int r = 0; r < Rounds; r++) {
        double t0 = Now();
        run();
        best = std::min(best, Now() - t0);
    }
    return best;
}

static void OpenAll(size_t first, size_t count)
{
    for (size_t i = first; i < first + count; i++) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Keys[i].c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
}

int main()
{
    Instance = GetModuleHandleA(NULL);
    LoadTextTable();
    HKEY existing;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        RegCloseKey(existing);
        printf("HKLM\\Enum exists already: not touched, no benchmark.\n");
        return 1;
    }
    if (!BuildTree()) {
        printf("cannot create HKLM\\Enum\n");
        return 1;
    }
    const size_t rootFirst = 1;   /* Enum\Root follows Enum itself */
    printf("hardware tree: %u keys, %u under Enum\\Root\n", (unsigned)Keys.size(), (unsigned)RootKeys);

    const double openAll = Best([] { OpenAll(0, Keys.size()); });
    const double openRoot = Best([&] { OpenAll(rootFirst, RootKeys); });
    printf("plain opens:        %8.2f ms for %u keys (%.2f us a key)\n", openAll * 1e3,
           (unsigned)Keys.size(), openAll * 1e6 / (double)Keys.size());

    static char report[SYSTEM_REPORT_SIZE];
    const double reportTime = Best([] { BuildSystemReport(report, sizeof report); });
    printf("BuildSystemReport:  %8.2f ms; opens of the %u keys it walks %.2f ms; ratio %.2f\n",
           reportTime * 1e3, (unsigned)RootKeys, openRoot * 1e3, reportTime / openRoot);

    char description[CD_DESCRIPTION_SIZE];
    const double searchTime = Best([&] { FindCdRomDescription('R', "Enum", description); });
    printf("one drive's search: %8.2f ms; opens of the %u keys it walks %.2f ms; ratio %.2f\n",
           searchTime * 1e3, (unsigned)Keys.size(), openAll * 1e3, searchTime / openAll);

    int drives = 0;
    for (int j = 0; j < 26; j++) {
        char root[4] = { (char)('A' + j), ':', '\\', '\0' };
        if ((GetLogicalDrives() >> j & 1) && GetDriveTypeA(root) == DRIVE_CDROM)
            drives++;
    }
    const double discoverTime = Best([] { DiscoverDrives(); });
    if (drives > 0)
        printf("DiscoverDrives:     %8.2f ms with %d CD-ROM drive(s); opens of %d x %u keys %.2f ms; ratio %.2f\n",
               discoverTime * 1e3, drives, drives, (unsigned)Keys.size(), drives * openAll * 1e3,
               discoverTime / (drives * openAll));
    else
        printf("DiscoverDrives:     %8.2f ms (no CD-ROM drive in this prefix: no walk)\n", discoverTime * 1e3);

    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Enum");
    FreeTextTable();
    return 0;
}
