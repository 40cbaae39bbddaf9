/* The Win32-free rules of the hardware probes. */
#include "sysinfo/facts.h"

#include <math.h>
#include <string.h>

#include "common/text.h"

double MemoryBytesToMb(unsigned long long totalBytes)
{
    /* Exact in double precision for any memory a machine can have (below
     * 2^53 bytes). */
    return floor(((double)totalBytes + 655360.0) / 1048576.0);
}

const char *ProcessorTypeName(unsigned int typeCode)
{
    switch (typeCode) {
    case 386: return "386";
    case 486: return "486";
    case 586: return "PENTIUM";
    case 4000: return "MIPS R4000";
    case 21064: return "ALPHA 21064";
    default: return "Unknown";
    }
}

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

void TrimBlanks(char *text)
{
    size_t start = 0;
    while (IsBlank(text[start]))
        start++;
    size_t end = strlen(text + start) + start;
    while (end > start && IsBlank(text[end - 1]))
        end--;
    memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

int ChooseFactText(const FactSource *sources, int count, const char *fallback, char *text, size_t size)
{
    if (size == 0)
        return count;
    for (int i = 0; i < count; i++) {
        text[0] = '\0';
        if (!sources[i].give(text, size, sources[i].context))
            continue;
        text[size - 1] = '\0';
        if (sources[i].trimmed) {
            TrimBlanks(text);
            if (text[0] == '\0')
                continue;
        }
        return i;
    }
    CopyText(text, size, fallback);
    return count;
}

int FormChildKeyPath(const char *path, const char *name, char *child, size_t size)
{
    size_t pathLen = strlen(path);
    size_t nameLen = strlen(name);
    size_t total = pathLen + 1 + nameLen;
    if (total > REGISTRY_PATH_MAX || total + 1 > size)
        return 0;
    memcpy(child, path, pathLen);
    child[pathLen] = '\\';
    memcpy(child + pathLen + 1, name, nameLen + 1);
    return 1;
}
