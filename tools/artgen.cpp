/* artgen: draws the launcher's pictures and icons, and the artbook's demo
 * pictures, at build time.
 *   artgen resources DIR   logo.bmp, menu_side.bmp, ... main.ico, ...
 *   artgen artbook DIR     Art1_00.bmp ... Art7_NN.bmp
 * Exit code 0 when every file was written, 1 when one could not be, 2 for
 * a wrong command line. */
#include <cstdio>
#include <cstring>

#include "common/levels.h"
#include "tools/art_files.h"
#include "tools/art_resources.h"
#include "tools/art_scenes.h"

static int WriteResources(const std::string &dir)
{
    for (int i = 0; i < ResourceFileCount; i++) {
        std::vector<uint8_t> bytes;
        BuildResourceFile(ResourceFileNames[i], bytes);
        if (!WriteFile(dir + "/" + ResourceFileNames[i], bytes))
            return 1;
    }
    return 0;
}

static int WriteArtbook(const std::string &dir)
{
    for (int level = 1; level <= LEVEL_COUNT; level++)
        for (int picture = 0; picture < ArtbookPictureCount(level); picture++) {
            std::vector<uint8_t> bytes;
            BuildArtbookPicture(level, picture, bytes);
            char name[32];
            std::snprintf(name, sizeof name, "Art%d_%02d.bmp", level, picture);
            if (!WriteFile(dir + "/" + name, bytes))
                return 1;
        }
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "resources") && std::strcmp(argv[1], "artbook"))) {
        std::fprintf(stderr, "usage: artgen resources|artbook DIR\n");
        return 2;
    }
    return std::strcmp(argv[1], "resources") == 0 ? WriteResources(argv[2]) : WriteArtbook(argv[2]);
}
