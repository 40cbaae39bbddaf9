/* The picture generator's pixel font: 5 x 7 capitals, digits and
 * punctuation, from UTF-8 text (the French accented capitals drawn with
 * their accent). */
#ifndef KVL_ART_FONT_H
#define KVL_ART_FONT_H

#include "tools/art_canvas.h"

float TextWidth(const char *text, float scale);
void MaskText(Mask &m, float x, float y, const char *text, float scale);
void DrawText(Image &im, float x, float y, const char *text, float scale, Rgb c, float a = 1.0f);
void DrawTextCentred(Image &im, float cx, float y, const char *text, float scale, Rgb c, float a = 1.0f);

#endif
