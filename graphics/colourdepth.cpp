/* The start-up warning for a desktop of fewer than 15 bits per pixel. The
 * game draws in 16 bits; on an 8-bit desktop its picture may look wrong. */
#include "graphics/colourdepth.h"
#include "common/warnflags.h"

/* Shows one warning and keeps the user's "don't show again" tick. */
static int Warn(ColourDepthWarningFn warn, unsigned int flags, void (*rememberNoWarning)(void),
                int *ticked)
{
    *ticked = 0;
    int answer = warn(flags, ticked);
    if (*ticked && rememberNoWarning)
        rememberNoWarning();
    return answer;
}

int RunColourDepthCheck(int desktopBits, int (*countHighColourModes)(void), int noWarning,
                        ColourDepthWarningFn warn, void (*rememberNoWarning)(void))
{
    if (noWarning || desktopBits >= 15)
        return 1;
    int ticked;
    /* A display without any high-colour setting cannot be switched: the
     * user is told once without a way out, then asked as usual. */
    if (countHighColourModes() == 0) {
        if (Warn(warn, WARN_DONT_SHOW_AGAIN, rememberNoWarning, &ticked) != 1)
            return 0;
        if (ticked)
            return 1;
    }
    return Warn(warn, WARN_DONT_SHOW_AGAIN | WARN_CANCEL, rememberNoWarning, &ticked) == 1 ? 1 : 0;
}
