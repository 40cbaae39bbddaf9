/* The hardware probes behind the report and the start-up check. None fails
 * loudly: each falls back to a fixed text or a negative number, and says so
 * in one trace line. */
#ifndef KVL_PROBES_H
#define KVL_PROBES_H

#include <stddef.h>

/* Loads cpuinf32.dll, calls its "cpuspeed" once and frees it. -1 when the
 * library cannot be loaded, -2 when it made no measurement or has no
 * "cpuspeed". */
int MeasureCpuSpeed(void);
/* Each fact comes from the first source that gives it: the Windows 95
 * family's source, then the NT family's, then a fixed fallback. */

/* The "CPU" value found under HKLM\Enum\Root, else the processor's name
 * string, else the name of the processor type code. */
void GetProcessorName(char *name, size_t size);
/* Whole megabytes of the 64-bit physical memory count where the system has
 * one, else of the 32-bit count. */
double GetPhysicalMemoryMb(void);
/* Section "boot.description" of system.ini, or "Not available". */
void ReadBootDescription(const char *key, char *text, size_t size);
/* "keyboard.typ" and "mouse.drv" of "boot.description", else the first
 * present device of the class, else "Not available". */
void GetKeyboardName(char *name, size_t size);
void GetMouseName(char *name, size_t size);
/* "display.drv" of "boot.description", else the primary display adapter,
 * else "Not available". */
void GetGraphicsCardName(char *name, size_t size);
/* "Description" of the first mixer device of the registry, else the first
 * mixer's or wave output device's name, else "Not available". */
void GetSoundCardName(char *name, size_t size);

/* Depth-first search under HKLM\keyPath, each key before its subkeys, for
 * a value of that name that fits 256 bytes; its data lands in buffer
 * (256 bytes, terminated). */
int FindRegistryValue(const char *valueName, const char *keyPath, char *buffer);
/* Same walk for the CD-ROM device key ("Class" CDROM in any case) whose
 * "CurrentDriveLetterAssignment" is letter; its "DeviceDesc" lands in
 * description (260 bytes, terminated). A CD-ROM key of another letter ends
 * the search of its own subtree; its siblings are still searched. */
int FindCdRomDescription(char letter, const char *keyPath, char *description);

#endif
