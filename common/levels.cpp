/* The game's Level setting: see levels.h. */
#include "common/levels.h"

unsigned CompletedLevels(unsigned long stored)
{
    return stored <= LEVEL_COUNT ? (unsigned)stored : 0;
}

unsigned long NextLevel(unsigned long stored)
{
    unsigned level = CompletedLevels(stored);
    return level < LEVEL_COUNT ? level + 1 : LEVEL_COUNT;
}
