/* Fuzzes the naming of a CD-ROM drive from the descriptor its driver
 * returns: any bytes, with any offsets in them, must give a terminated,
 * trimmed name within the buffer, read only from the bytes given. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "sysinfo/drivelist.h"

static void Check(int condition)
{
    if (!condition)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    /* A copy of exactly the bytes given, so that a read past them is
     * caught; the first byte picks the size of the name's buffer. */
    if (size == 0)
        return 0;
    const size_t capacity = 1 + data[0] % CD_DESCRIPTION_SIZE;
    std::vector<unsigned char> bytes(data + 1, data + size);
    std::vector<char> name(capacity, '#');
    int named = StorageDeviceName(bytes.data(), bytes.size(), name.data(), name.size());
    const char *end = (const char *)memchr(name.data(), '\0', name.size());
    Check(end != NULL);
    const size_t length = (size_t)(end - name.data());
    Check(named == (length > 0));
    if (length > 0) {
        Check(name[0] != ' ' && name[length - 1] != ' ');
        for (size_t i = 0; i < length; i++)
            Check((unsigned char)name[i] >= 0x20);
    }
    return 0;
}
