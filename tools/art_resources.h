/* The launcher's own pictures and icons, drawn at build time for its
 * resources and for the disc's programs. */
#ifndef KVL_ART_RESOURCES_H
#define KVL_ART_RESOURCES_H

#include <cstdint>
#include <vector>

/* The files by name: logo.bmp, menu_side.bmp, ... main.ico, ... */
extern const char *const ResourceFileNames[];
extern const int ResourceFileCount;
/* 1 and the bytes of the named file, or 0 for an unknown name. */
int BuildResourceFile(const char *name, std::vector<uint8_t> &out);

#endif
