/* Hardware probes: speed library, processor name, memory, system.ini
 * drivers, sound card, and the registry walks of the hardware tree. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "sysinfo/probes.h"
#include "sysinfo/sysreport.h"
#include "sysinfo/cpuinf32/cpuspeed.h"

static const char NotAvailable[] = "Not available";
static const char MixerKey[] = "System\\CurrentControlSet\\control\\MediaResources\\mixer";

/* Copies src into dest, cut to size - 1 characters. */
static void CopyText(char *dest, size_t size, const char *src)
{
    if (size == 0)
        return;
    size_t n = strlen(src);
    if (n >= size)
        n = size - 1;
    memcpy(dest, src, n);
    dest[n] = '\0';
}

/* A value read as text: it counts only when its data, terminator included,
 * fits size bytes. The buffer is always left terminated (empty when the
 * value is absent or too long). */
static int ReadValueText(HKEY key, const char *name, char *buffer, DWORD size)
{
    DWORD got = size;
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)buffer, &got) != ERROR_SUCCESS || got > size) {
        buffer[0] = '\0';
        return 0;
    }
    if (got < size)
        buffer[got] = '\0';
    else if (buffer[size - 1] != '\0') {
        /* Exactly size bytes without a terminator: one too many. */
        buffer[0] = '\0';
        return 0;
    }
    return 1;
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
    if (!library)
        return -1;
    int speed = -2;
    CpuSpeedProc cpuspeed = reinterpret_cast<CpuSpeedProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "cpuspeed")));
    if (cpuspeed) {
        CpuSpeedRecord record = cpuspeed(0);
        /* A speed too large for the signed result is no measurement. */
        if ((record.cycles != 0 || record.microseconds != 0) && record.megahertz <= 0x7FFFFFFFu)
            speed = (int)record.megahertz;
    }
    FreeLibrary(library);
    return speed;
}

/* ---- Registry walks ------------------------------------------------------ */

enum KeyVerdict {
    KEY_DESCEND,        /* not this key: search its subkeys */
    KEY_FOUND,          /* this key: the search ends */
    KEY_SKIP_SUBTREE    /* not this key, and not below it either */
};

typedef KeyVerdict (*KeyVisitor)(HKEY key, void *context);

/* Each level adds at least "\x" to a path of at most REGISTRY_PATH_MAX
 * characters, so no walk is deeper than this. */
#define WALK_DEPTH_MAX (REGISTRY_PATH_MAX / 2 + 1)

struct WalkFrame {
    HKEY key;
    DWORD subkeys;      /* counted once, before the key's loop */
    DWORD next;         /* index of the next subkey to search */
    size_t pathLength;  /* length of this key's path */
};

/* Depth-first walk of HKLM\rootPath, without recursion so that a deep tree
 * cannot exhaust the stack: each key is shown to visit before its subkeys,
 * subkeys in index order. A subkey whose name cannot be read, whose path
 * would pass REGISTRY_PATH_MAX characters or that cannot be opened is
 * skipped. Every key opened is closed before the walk returns. */
static int WalkKeyTree(const char *rootPath, KeyVisitor visit, void *context)
{
    WalkFrame frames[WALK_DEPTH_MAX];
    char path[REGISTRY_PATH_MAX + 1];
    if (strlen(rootPath) > REGISTRY_PATH_MAX)
        return 0;
    strcpy(path, rootPath);

    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, rootPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int depth = 0;
    int found = 0;
    while (key) {
        KeyVerdict verdict = visit(key, context);
        if (verdict == KEY_FOUND) {
            RegCloseKey(key);
            found = 1;
            break;
        }
        DWORD subkeys = 0;
        if (verdict == KEY_DESCEND && depth < WALK_DEPTH_MAX
            && RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL,
                                NULL) == ERROR_SUCCESS
            && subkeys > 0) {
            WalkFrame &frame = frames[depth++];
            frame.key = key;
            frame.subkeys = subkeys;
            frame.next = 0;
            frame.pathLength = strlen(path);
        } else {
            RegCloseKey(key);
        }

        /* The next key: the next readable subkey of the deepest open key
         * that has one left. */
        key = NULL;
        while (!key && depth > 0) {
            WalkFrame &frame = frames[depth - 1];
            if (frame.next >= frame.subkeys) {
                RegCloseKey(frame.key);
                depth--;
                continue;
            }
            char name[256];
            DWORD nameLength = sizeof name;
            if (RegEnumKeyExA(frame.key, frame.next++, name, &nameLength, NULL, NULL, NULL, NULL)
                != ERROR_SUCCESS)
                continue;
            path[frame.pathLength] = '\0';
            char child[REGISTRY_PATH_MAX + 1];
            if (!FormChildKeyPath(path, name, child, sizeof child))
                continue;
            if (RegOpenKeyExA(frame.key, name, 0, KEY_READ, &key) != ERROR_SUCCESS) {
                key = NULL;
                continue;
            }
            strcpy(path, child);
        }
    }
    while (depth > 0)
        RegCloseKey(frames[--depth].key);
    return found;
}

struct ValueSearch {
    const char *valueName;
    char *buffer;
};

static KeyVerdict VisitForValue(HKEY key, void *context)
{
    ValueSearch *search = static_cast<ValueSearch *>(context);
    return ReadValueText(key, search->valueName, search->buffer, SYSINFO_TEXT_SIZE) ? KEY_FOUND
                                                                                     : KEY_DESCEND;
}

int FindRegistryValue(const char *valueName, const char *keyPath, char *buffer)
{
    ValueSearch search = { valueName, buffer };
    buffer[0] = '\0';
    return WalkKeyTree(keyPath, VisitForValue, &search);
}

struct CdRomSearch {
    char letter;
    char *description;
};

static KeyVerdict VisitForCdRom(HKEY key, void *context)
{
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
    return WalkKeyTree(keyPath, VisitForCdRom, &search);
}

/* ---- Probes -------------------------------------------------------------- */

void GetProcessorName(char *name, size_t size)
{
    char found[SYSINFO_TEXT_SIZE];
    if (FindRegistryValue("CPU", "Enum\\Root", found)) {
        CopyText(name, size, found);
        return;
    }
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    CopyText(name, size, ProcessorTypeName(info.dwProcessorType));
}

double GetPhysicalMemoryMb(void)
{
    MEMORYSTATUS status;
    memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return MemoryBytesToMb((unsigned int)status.dwTotalPhys);
}

void ReadBootDescription(const char *key, char *text, size_t size)
{
    char value[SYSINFO_TEXT_SIZE];
    GetPrivateProfileStringA("boot.description", key, NotAvailable, value, sizeof value, "system.ini");
    CopyText(text, size, value);
}

void GetSoundCardName(char *name, size_t size)
{
    CopyText(name, size, NotAvailable);
    HKEY mixers;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MixerKey, 0, KEY_READ, &mixers) != ERROR_SUCCESS)
        return;
    char first[256];
    DWORD firstLength = sizeof first;
    LONG enumerated = RegEnumKeyExA(mixers, 0, first, &firstLength, NULL, NULL, NULL, NULL);
    RegCloseKey(mixers);
    if (enumerated != ERROR_SUCCESS)
        return;
    char path[512];
    snprintf(path, sizeof path, "%s\\%s", MixerKey, first);
    HKEY device;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &device) != ERROR_SUCCESS)
        return;
    char description[SYSINFO_TEXT_SIZE];
    if (ReadValueText(device, "Description", description, sizeof description))
        CopyText(name, size, description);
    RegCloseKey(device);
}
