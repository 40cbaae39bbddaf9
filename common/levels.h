/* The game's Level setting, shared by the launcher (the artbook shows the
 * pictures of the completed levels), the game stand-in (which raises it)
 * and the settings store (which writes it back as the game left it). The
 * game keeps the plain number of completed levels. Win32-free. */
#ifndef KVL_LEVELS_H
#define KVL_LEVELS_H

#define LEVEL_COUNT 7

/* The number of completed levels, 0 to LEVEL_COUNT, from the stored value;
 * any other value counts as none. */
unsigned CompletedLevels(unsigned long stored);
/* The value stored after completing one more level (stays at LEVEL_COUNT). */
unsigned long NextLevel(unsigned long stored);

#endif
