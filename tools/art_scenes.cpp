/* The artbook's demo pictures: one concept scene per level. */
#include "art.h"

static const int PictureCounts[7] = {3, 2, 4, 3, 5, 2, 3};

int ArtbookPictureCount(int level)
{
    return level >= 1 && level <= 7 ? PictureCounts[level - 1] : 0;
}

void DrawArtbookScene(int level, int picture, Image &im)
{
    VGradient(im, 0, 0, float(im.w), float(im.h), Hex(0x102030 + level * 0x100000), Hex(0x000000 + picture * 0x10));
}

void BuildArtbookPicture(int level, int picture, std::vector<uint8_t> &out)
{
    Image im;
    InitImage(im, 640, 480, Hex(0));
    DrawArtbookScene(level, picture, im);
    Indexed q;
    Quantize(im, 256, true, q);
    EncodeBmp8(q, false, out);
}
