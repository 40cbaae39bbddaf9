/* The artbook's demo pictures: concept views of the game's levels, 640 x
 * 480, 256 colours. */
#ifndef KVL_ART_SCENES_H
#define KVL_ART_SCENES_H

#include <cstdint>
#include <vector>

#include "tools/art_canvas.h"

/* The pictures of level 1..LEVEL_COUNT (0 for any other level). */
int ArtbookPictureCount(int level);
/* The level's name in capitals, as the pictures are labelled ("" for any
 * other level). */
const char *ArtbookLevelName(int level);
/* The picture's scene alone, before its finish and its label. */
void DrawArtbookScene(int level, int picture, Image &im);
/* The whole picture as a BMP file. */
void BuildArtbookPicture(int level, int picture, std::vector<uint8_t> &out);

#endif
