/* The rules of the hardware probes that need no Win32: which source's text
 * a machine fact takes, how the memory count and the processor type code
 * read, and how a registry walk forms the paths of the keys it opens. */
#ifndef KVL_FACTS_H
#define KVL_FACTS_H

#include <stddef.h>

#define SYSINFO_TEXT_SIZE   256     /* probe texts, terminator included */
#define REGISTRY_PATH_MAX   255     /* characters of a key path in a walk */

/* Whole megabytes of a physical memory byte count: a total that falls up to
 * 640 KB short of a megabyte still counts as that megabyte. The count is
 * 64-bit: today's machines have more than 32 bits can hold. */
double MemoryBytesToMb(unsigned long long totalBytes);

/* "386", "486", "PENTIUM", "MIPS R4000", "ALPHA 21064" or "Unknown". */
const char *ProcessorTypeName(unsigned int typeCode);

/* One source of a machine fact. give copies the source's text into text
 * (size bytes, terminated) and returns 1, or returns 0 when the source has
 * nothing to say. A trimmed source loses its leading and trailing blanks,
 * and then gives nothing when nothing is left. */
struct FactSource {
    int (*give)(char *text, size_t size, void *context);
    void *context;
    int trimmed;
};

/* The text of the first source that gives one, else fallback, cut to
 * size - 1 characters. Sources after the one used are not asked. Returns
 * the index of the source used, or count for the fallback. */
int ChooseFactText(const FactSource *sources, int count, const char *fallback, char *text, size_t size);

/* Removes leading and trailing blanks (spaces and tabs) in place. */
void TrimBlanks(char *text);

/* path + "\" + name into child; 0 (child untouched) when the result would
 * be longer than REGISTRY_PATH_MAX characters. */
int FormChildKeyPath(const char *path, const char *name, char *child, size_t size);

#endif
