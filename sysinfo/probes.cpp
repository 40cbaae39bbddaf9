/* Hardware probes: speed library, processor name, memory, system.ini
 * drivers, sound card, and the registry walks of the hardware tree. */
#include "sysinfo/probes.h"

#include <windows.h>
#include <setupapi.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <mmsystem.h>

#include "common/export.h"
#include "common/regread.h"
#include "common/text.h"
#include "common/trace.h"
#include "sysinfo/cpuinf32/cpuinf32.h"
#include "sysinfo/drivelist.h"
#include "sysinfo/facts.h"
#include "sysinfo/keywalk_win.h"

static const char NotAvailable[] = "Not available";
static const char MixerKey[] = "System\\CurrentControlSet\\control\\MediaResources\\mixer";

/* A value read as text, whatever its type: it counts only when its data
 * ends within size bytes. The buffer is always left terminated (empty when
 * the value is absent or too long). */
static int ReadValueText(HKEY key, const char *name, char *buffer, DWORD size)
{
    static const RegistryRead AsText = { REGISTRY_TEXT, REGISTRY_ANY_TYPE, REGISTRY_OWN_VIEW };
    return ReadRegistryValue(key, name, &AsText, buffer, size);
}

static const char SpeedLibrary[] = "cpuinf32.dll";

/* The speed library ships beside the launcher and is loaded from there by
 * its full path: by bare name, a module of that name that the process
 * already holds, wherever it came from, would be taken for ours. Only when
 * our folder has none does the platform's search look for it elsewhere
 * (start-up has taken the current directory out of that search). */
static HMODULE LoadSpeedLibrary(void)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return NULL;   /* cut: our folder is unknown */
    path[n] = '\0';
    char *slash = strrchr(path, '\\');
    if (slash == NULL || (size_t)(slash + 1 - path) + sizeof SpeedLibrary > sizeof path)
        return NULL;
    memcpy(slash + 1, SpeedLibrary, sizeof SpeedLibrary);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return LoadLibraryA(path);
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return LoadLibraryA(SpeedLibrary);
    return NULL;
}

int MeasureCpuSpeed(void)
{
    HMODULE library = LoadSpeedLibrary();
    if (!library) {
        Trace("%s could not be loaded (error %lu); the processor speed is not measured", SpeedLibrary,
              GetLastError());
        return -1;
    }
    int speed = -2;
    CpuSpeedProc cpuspeed = ExportAs<CpuSpeedProc>(library, "cpuspeed");
    if (cpuspeed) {
        CpuSpeedRecord record = cpuspeed(0);
        /* A speed too large for the signed result is no measurement. */
        if ((record.cycles != 0 || record.microseconds != 0) && record.megahertz <= 0x7FFFFFFFu)
            speed = (int)record.megahertz;
        else
            Trace("%s made no measurement; the processor speed counts as not measured", SpeedLibrary);
    } else {
        Trace("%s has no export \"cpuspeed\"; the processor speed counts as not measured", SpeedLibrary);
    }
    FreeLibrary(library);
    return speed;
}

/* ---- Registry walks ------------------------------------------------------ */

struct ValueSearch {
    const char *valueName;
    char *buffer;
};

static KeyVerdict VisitForValue(WalkKey key, void *context)
{
    ValueSearch *search = static_cast<ValueSearch *>(context);
    return ReadValueText(HkeyOf(key), search->valueName, search->buffer, SYSINFO_TEXT_SIZE) ? KEY_FOUND
                                                                                     : KEY_DESCEND;
}

int FindRegistryValue(const char *valueName, const char *keyPath, char *buffer)
{
    ValueSearch search = { valueName, buffer };
    buffer[0] = '\0';
    return WalkMachineKeys(keyPath, VisitForValue, &search) == WALK_FOUND;
}

struct CdRomSearch {
    char letter;
    char *description;
};

static KeyVerdict VisitForCdRom(WalkKey walkKey, void *context)
{
    HKEY key = HkeyOf(walkKey);
    CdRomSearch *search = static_cast<CdRomSearch *>(context);
    char className[CD_DESCRIPTION_SIZE];
    if (!ReadValueText(key, "Class", className, sizeof className) || !IsCdRomClass(className))
        return KEY_DESCEND;
    if (!ReadValueText(key, "DeviceDesc", search->description, CD_DESCRIPTION_SIZE))
        return KEY_DESCEND;
    char assignment[2];
    if (!ReadValueText(key, "CurrentDriveLetterAssignment", assignment, sizeof assignment))
        return KEY_DESCEND;
    /* A CD-ROM device of another drive: nothing below it describes ours. */
    return assignment[0] == search->letter ? KEY_FOUND : KEY_SKIP_SUBTREE;
}

int FindCdRomDescription(char letter, const char *keyPath, char *description)
{
    CdRomSearch search = { letter, description };
    return WalkMachineKeys(keyPath, VisitForCdRom, &search) == WALK_FOUND;
}

/* ---- Probes -------------------------------------------------------------- */

/* The system folder's copy of a library, never one planted beside the
 * launcher or in the current directory. NULL when it cannot be loaded. */
static HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    HMODULE library = NULL;
    if (length != 0 && length < sizeof path
        && (size_t)snprintf(path + length, sizeof path - length, "\\%s", name) < sizeof path - length)
        library = LoadLibraryA(path);
    if (!library)
        Trace("%s could not be loaded from the system folder (error %lu)", name, GetLastError());
    return library;
}

/* The Windows 95 family: the first "CPU" value of the hardware tree. */
static int GiveEnumCpu(char *text, size_t size, void *)
{
    char found[SYSINFO_TEXT_SIZE];
    if (!FindRegistryValue("CPU", "Enum\\Root", found))
        return 0;
    CopyText(text, size, found);
    return 1;
}

/* The value of that name in HKLM\keyPath, as text, when it fits
 * SYSINFO_TEXT_SIZE bytes. */
static int ReadKeyValueText(const char *keyPath, const char *name, char *text, size_t size)
{
    static const RegistryRead AsText = { REGISTRY_TEXT, REGISTRY_ANY_TYPE, REGISTRY_OWN_VIEW };
    char value[SYSINFO_TEXT_SIZE];
    int read = ReadRegistryKeyValue(HKEY_LOCAL_MACHINE, keyPath, name, &AsText, value, sizeof value);
    if (read)
        CopyText(text, size, value);
    return read;
}

/* The NT family: the processor's own name string. */
static int GiveProcessorNameString(char *text, size_t size, void *)
{
    return ReadKeyValueText("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "ProcessorNameString", text,
                            size);
}

void GetProcessorName(char *name, size_t size)
{
    const FactSource sources[] = { { GiveEnumCpu, NULL, 0 }, { GiveProcessorNameString, NULL, 1 } };
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (ChooseFactText(sources, 2, ProcessorTypeName(info.dwProcessorType), name, size) == 2)
        Trace("No processor name in the hardware tree nor in ProcessorNameString; named \"%s\" by its type",
              name);
}

double GetPhysicalMemoryMb(void)
{
    /* GlobalMemoryStatus stops at 2 GB for a 32-bit program; the 64-bit
     * count is there from Windows 2000 on. */
    typedef BOOL(WINAPI * MemoryStatusExProc)(MEMORYSTATUSEX *);
    MemoryStatusExProc statusEx =
        ExportAs<MemoryStatusExProc>(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    if (statusEx) {
        MEMORYSTATUSEX status;
        memset(&status, 0, sizeof status);
        status.dwLength = sizeof status;
        if (statusEx(&status))
            return MemoryBytesToMb(status.ullTotalPhys);
    }
    Trace("No 64-bit memory count (GlobalMemoryStatusEx); the 32-bit one is used");
    MEMORYSTATUS status;
    memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return MemoryBytesToMb(status.dwTotalPhys);
}

/* A key of section "boot.description" of system.ini, when the key is there
 * at all; its text as read. */
static int GiveBootDescription(char *text, size_t size, void *context)
{
    const char *key = static_cast<const char *>(context);
    char value[SYSINFO_TEXT_SIZE];
    GetPrivateProfileStringA("boot.description", key, NotAvailable, value, sizeof value, "system.ini");
    if (strcmp(value, NotAvailable) == 0) {
        /* The default came back: a key that is there gives its own text
         * with any default, a missing one gives the empty default. */
        char again[sizeof NotAvailable + 1];
        GetPrivateProfileStringA("boot.description", key, "", again, sizeof again, "system.ini");
        if (again[0] == '\0')
            return 0;
    }
    CopyText(text, size, value);
    return 1;
}

void ReadBootDescription(const char *key, char *text, size_t size)
{
    const FactSource source = { GiveBootDescription, const_cast<char *>(key), 0 };
    if (ChooseFactText(&source, 1, NotAvailable, text, size) == 1)
        Trace("No \"%s\" in system.ini's [boot.description]; it reads \"%s\"", key, NotAvailable);
}

/* ---- Device classes (SetupAPI, loaded at run time) ---------------------- */

typedef HDEVINFO(WINAPI *GetClassDevsProc)(const GUID *, PCSTR, HWND, DWORD);
typedef BOOL(WINAPI *EnumDeviceInfoProc)(HDEVINFO, DWORD, PSP_DEVINFO_DATA);
typedef BOOL(WINAPI *GetDevicePropertyProc)(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD);
typedef BOOL(WINAPI *DestroyDeviceInfoListProc)(HDEVINFO);

/* The keyboard and mouse device setup classes. */
static const GUID KeyboardClass = { 0x4d36e96b, 0xe325, 0x11ce,
                                    { 0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18 } };
static const GUID MouseClass = { 0x4d36e96f, 0xe325, 0x11ce,
                                 { 0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18 } };

/* Enough for any machine's keyboards or mice; bounds a driver that never
 * says the list has ended. */
#define CLASS_DEVICES_MAX 256

struct DeviceProperty {
    GetDevicePropertyProc getProperty;
    HDEVINFO devices;
    SP_DEVINFO_DATA *device;
    DWORD property;
};

static int GiveDeviceProperty(char *text, size_t size, void *context)
{
    const DeviceProperty *p = static_cast<const DeviceProperty *>(context);
    if (size < 2)
        return 0;
    /* Zeroed and one byte short, so the text ends within size whatever
     * the driver stored. */
    memset(text, 0, size);
    DWORD type = 0;
    if (!p->getProperty(p->devices, p->device, p->property, &type, (BYTE *)text, (DWORD)(size - 1), NULL))
        return 0;
    return type == REG_SZ;
}

/* The first present device of the class that has a name: its friendly name,
 * else its device description. */
static int GiveClassDeviceName(char *text, size_t size, void *context)
{
    const GUID *guid = static_cast<const GUID *>(context);
    HMODULE setupapi = LoadSystemLibrary("setupapi.dll");
    if (!setupapi)
        return 0;
    GetClassDevsProc getClassDevs = ExportAs<GetClassDevsProc>(setupapi, "SetupDiGetClassDevsA");
    EnumDeviceInfoProc enumDeviceInfo = ExportAs<EnumDeviceInfoProc>(setupapi, "SetupDiEnumDeviceInfo");
    GetDevicePropertyProc getProperty =
        ExportAs<GetDevicePropertyProc>(setupapi, "SetupDiGetDeviceRegistryPropertyA");
    DestroyDeviceInfoListProc destroyList =
        ExportAs<DestroyDeviceInfoListProc>(setupapi, "SetupDiDestroyDeviceInfoList");
    int given = 0;
    HDEVINFO devices = INVALID_HANDLE_VALUE;
    if (getClassDevs && enumDeviceInfo && getProperty && destroyList)
        devices = getClassDevs(guid, NULL, NULL, DIGCF_PRESENT);
    else
        Trace("setupapi.dll lacks the device list calls; no device class is asked");
    if (devices != INVALID_HANDLE_VALUE) {
        for (DWORD index = 0; !given && index < CLASS_DEVICES_MAX; index++) {
            SP_DEVINFO_DATA device;
            memset(&device, 0, sizeof device);
            device.cbSize = sizeof device;
            if (!enumDeviceInfo(devices, index, &device))
                break;
            DeviceProperty friendly = { getProperty, devices, &device, SPDRP_FRIENDLYNAME };
            DeviceProperty description = { getProperty, devices, &device, SPDRP_DEVICEDESC };
            const FactSource names[] = { { GiveDeviceProperty, &friendly, 1 },
                                         { GiveDeviceProperty, &description, 1 } };
            given = ChooseFactText(names, 2, "", text, size) < 2;
        }
        destroyList(devices);
    }
    FreeLibrary(setupapi);
    return given;
}

static void GetClassDeviceFact(const char *device, const char *bootKey, const GUID *guid, char *text,
                               size_t size)
{
    const FactSource sources[] = { { GiveBootDescription, const_cast<char *>(bootKey), 0 },
                                   { GiveClassDeviceName, const_cast<GUID *>(guid), 1 } };
    if (ChooseFactText(sources, 2, NotAvailable, text, size) == 2)
        Trace("No %s name in system.ini's [boot.description] %s nor among the present %s devices; it reads "
              "\"%s\"", device, bootKey, device, NotAvailable);
}

void GetKeyboardName(char *name, size_t size)
{
    GetClassDeviceFact("keyboard", "keyboard.typ", &KeyboardClass, name, size);
}

void GetMouseName(char *name, size_t size)
{
    GetClassDeviceFact("mouse", "mouse.drv", &MouseClass, name, size);
}

/* ---- Graphics and sound cards -------------------------------------------- */

/* Bounds a driver that never says the list of adapters has ended. */
#define DISPLAY_ADAPTERS_MAX 64

static int GivePrimaryDisplayAdapter(char *text, size_t size, void *)
{
    typedef BOOL(WINAPI * EnumDisplayDevicesProc)(LPCSTR, DWORD, DISPLAY_DEVICEA *, DWORD);
    EnumDisplayDevicesProc enumDisplayDevices =
        ExportAs<EnumDisplayDevicesProc>(GetModuleHandleA("user32.dll"), "EnumDisplayDevicesA");
    if (!enumDisplayDevices)
        return 0;
    for (DWORD index = 0; index < DISPLAY_ADAPTERS_MAX; index++) {
        DISPLAY_DEVICEA adapter;
        memset(&adapter, 0, sizeof adapter);
        adapter.cb = sizeof adapter;
        if (!enumDisplayDevices(NULL, index, &adapter, 0))
            return 0;
        if (adapter.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            adapter.DeviceString[sizeof adapter.DeviceString - 1] = '\0';
            CopyText(text, size, adapter.DeviceString);
            return 1;
        }
    }
    return 0;
}

void GetGraphicsCardName(char *name, size_t size)
{
    const FactSource sources[] = { { GiveBootDescription, const_cast<char *>("display.drv"), 0 },
                                   { GivePrimaryDisplayAdapter, NULL, 1 } };
    if (ChooseFactText(sources, 2, NotAvailable, name, size) == 2)
        Trace("No graphics card name in system.ini's [boot.description] display.drv nor of the primary "
              "display adapter; it reads \"%s\"", NotAvailable);
}

/* The Windows 95 family: "Description" of the first mixer device of the
 * registry. */
static int GiveMixerKeyName(char *text, size_t size, void *)
{
    HKEY mixers;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MixerKey, 0, KEY_READ, &mixers) != ERROR_SUCCESS)
        return 0;
    char first[256];
    DWORD firstLength = sizeof first;
    LONG enumerated = RegEnumKeyExA(mixers, 0, first, &firstLength, NULL, NULL, NULL, NULL);
    RegCloseKey(mixers);
    if (enumerated != ERROR_SUCCESS)
        return 0;
    char path[512];
    snprintf(path, sizeof path, "%s\\%s", MixerKey, first);
    return ReadKeyValueText(path, "Description", text, size);
}

/* The NT family: the name the multimedia system gives its device 0, of
 * the mixers or of the wave outputs; both kinds name it in szPname. */
template <typename Caps, MMRESULT(WINAPI *GetDevCaps)(UINT_PTR, Caps *, UINT)>
static int GiveMultimediaDeviceName(char *text, size_t size, void *)
{
    Caps caps;
    memset(&caps, 0, sizeof caps);
    if (GetDevCaps(0, &caps, sizeof caps) != MMSYSERR_NOERROR)
        return 0;
    caps.szPname[sizeof caps.szPname - 1] = '\0';
    CopyText(text, size, caps.szPname);
    return 1;
}

void GetSoundCardName(char *name, size_t size)
{
    const FactSource sources[] = { { GiveMixerKeyName, NULL, 0 },
                                   { GiveMultimediaDeviceName<MIXERCAPSA, mixerGetDevCapsA>, NULL, 1 },
                                   { GiveMultimediaDeviceName<WAVEOUTCAPSA, waveOutGetDevCapsA>, NULL, 1 } };
    if (ChooseFactText(sources, 3, NotAvailable, name, size) == 3)
        Trace("No sound card name in the registry's first mixer nor of the first mixer or wave output "
              "device; it reads \"%s\"", NotAvailable);
}
