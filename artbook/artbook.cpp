/* The artbook: a modal dialog that shows the concept pictures of the levels
 * the player has completed, one level at a time, with << and >> wrapping
 * around. Each picture is unpacked from the disc into a temporary bitmap
 * file, loaded, and the file deleted again at once. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "artbook/artbook.h"
#include "artbook/ppk.h"
#include "common/accname.h"
#include "common/app.h"
#include "common/dialogstate.h"
#include "common/dpiscale.h"
#include "common/driveerrors.h"
#include "common/levels.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "resources/resource.h"
#include "resources/texts.h"

#define PICTURE_WIDTH      640
#define PICTURE_HEIGHT     480
#define TEMP_BITMAP_NAME   "Artbook.bmp"
#define TEMP_BITMAP_PREFIX "art"

/* Level n's name is TEXT_LEVEL_1_NAME + n - 1. */
static_assert(TEXT_LEVEL_7_NAME - TEXT_LEVEL_1_NAME == LEVEL_COUNT - 1, "the level names follow each other");

/* One opening of the artbook. */
struct ArtbookDialog {
    HWND window;
    HWND pictureControl;
    HWND levelList;
    unsigned completedCount;              /* levels listed: 0 locks the artbook */
    unsigned pictureCounts[LEVEL_COUNT];  /* pictures on the disc, by level */
    unsigned level;                       /* shown: 0-based level */
    unsigned picture;                     /* and its picture number */
    HBITMAP bitmap;                       /* our picture in the control, or NULL */
    int dpi;                              /* the screen's: the pictures' scale */
};

/* Whether the disc root names a folder below a drive's root ("C:\Copies\KVL\",
 * a copy of the disc) or a network path ("\\server\share\KVL\"), which
 * Setup registers as it finds them, rather than a drive root. */
static int DiscRootIsFolder(const char *root)
{
    int letter = (root[0] >= 'A' && root[0] <= 'Z') || (root[0] >= 'a' && root[0] <= 'z');
    int belowDrive = letter && root[1] == ':' && root[2] == '\\' && root[3] != '\0';
    int network = root[0] == '\\' && root[1] == '\\' && root[2] != '\0';
    return belowDrive || network;
}

/* "%c:\Artbook\Art%d_%02d.ppk" on the disc's drive, or below the whole
 * disc root when that is a folder: its drive's root holds no pictures. 0
 * when it does not fit. */
static int BuildPicturePath(char *path, size_t size, unsigned level, unsigned picture)
{
    const char *root = Settings.CDRoot;
    int n;
    if (DiscRootIsFolder(root)) {
        size_t length = strlen(root);
        const char *separator = root[length - 1] == '\\' ? "" : "\\";
        n = snprintf(path, size, "%s%sArtbook\\Art%u_%02u.ppk", root, separator, level + 1, picture);
    } else {
        n = snprintf(path, size, "%c:\\Artbook\\Art%u_%02u.ppk", root[0], level + 1, picture);
    }
    return n > 0 && (size_t)n < size;
}

/* The disc may have been ejected: a missing file then ends the count
 * without the system's "no disk" box. */
static void CountPictures(ArtbookDialog *art)
{
    NoDriveErrorBoxes quiet;
    char path[MAX_PATH];
    for (unsigned level = 0; level < LEVEL_COUNT; level++) {
        unsigned count = 0;
        /* Pictures are numbered from 00 without gaps: the first missing
         * number ends the level. */
        while (BuildPicturePath(path, sizeof path, level, count)) {
            FILE *f = fopen(path, "rb");
            if (!f)
                break;
            fclose(f);
            count++;
        }
        art->pictureCounts[level] = count;
    }
}

/* A temporary bitmap file of ours: its path, and a handle held open
 * while the picture passes through it. The handle shares reading and
 * writing (the unpacker and LoadImageA open the file by name) but not
 * deletion, so while it is open no one can delete, rename or replace the
 * file, for instance by a link to a file elsewhere. */
struct TempBitmap {
    char path[MAX_PATH];
    HANDLE pin;
};

#define TEMP_BITMAP_SHARING (FILE_SHARE_READ | FILE_SHARE_WRITE)

/* Creates our temporary bitmap file: "Artbook.bmp" in the installation
 * folder, else a file of a unique name in the user's temporary folder (an
 * installation under Program Files is read-only for a standard user). Each
 * is created here and now, never adopted: an Artbook.bmp already in the
 * installation folder (left by another program, or planted there) is not
 * ours, so it is neither written nor deleted. Returns 0 when no file could
 * be created. */
static int CreateTempBitmap(TempBitmap *temp)
{
    /* An empty ExeDir names no folder, only the current drive's root. */
    int n = snprintf(temp->path, sizeof temp->path, "%s\\" TEMP_BITMAP_NAME, Settings.ExeDir);
    DWORD error = ERROR_BAD_PATHNAME;
    if (Settings.ExeDir[0] && n > 0 && (size_t)n < sizeof temp->path) {
        temp->pin = CreateFileA(temp->path, GENERIC_READ, TEMP_BITMAP_SHARING, NULL, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, NULL);
        if (temp->pin != INVALID_HANDLE_VALUE)
            return 1;
        error = GetLastError();
    }
    Trace("artbook: %s\\" TEMP_BITMAP_NAME " could not be created (error %lu): unpacking into the temporary folder",
          Settings.ExeDir, error);
    char dir[MAX_PATH];
    DWORD len = GetTempPathA(sizeof dir, dir);
    /* GetTempFileNameA creates the file exclusively under a name of its
     * choosing, and needs room for that name after the folder. */
    if (len == 0 || len >= sizeof dir - 14 || !GetTempFileNameA(dir, TEMP_BITMAP_PREFIX, 0, temp->path)) {
        Trace("artbook: no file could be created in the temporary folder (error %lu): no picture shown",
              GetLastError());
        return 0;
    }
    temp->pin = CreateFileA(temp->path, GENERIC_READ, TEMP_BITMAP_SHARING, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
    if (temp->pin != INVALID_HANDLE_VALUE)
        return 1;
    Trace("artbook: %s could not be held open (error %lu): no picture shown", temp->path, GetLastError());
    DeleteFileA(temp->path);
    return 0;
}

/* Our file is deleted by name once nothing needs it any more. */
static void DeleteTempBitmap(TempBitmap *temp)
{
    CloseHandle(temp->pin);
    DeleteFileA(temp->path);
}

/* The picture of the current level and number, or none when its file
 * cannot be restored: only a file this step wrote is ever loaded. */
static HBITMAP LoadCurrentPicture(const ArtbookDialog *art)
{
    char picture[MAX_PATH];
    TempBitmap temp;
    if (!BuildPicturePath(picture, sizeof picture, art->level, art->picture) || !CreateTempBitmap(&temp))
        return NULL;
    HBITMAP bitmap = NULL;
    int unpacked;
    {
        NoDriveErrorBoxes quiet;   /* the picture file is on the disc */
        unpacked = UnpackPpkFile(picture, temp.path);
    }
    if (!unpacked) {
        Trace("artbook: %s did not unpack: no picture shown", picture);
    } else {
        bitmap = (HBITMAP)LoadImageA(NULL, temp.path, IMAGE_BITMAP, PICTURE_WIDTH, PICTURE_HEIGHT,
                                     LR_CREATEDIBSECTION | LR_LOADFROMFILE);
        if (!bitmap)
            Trace("artbook: %s unpacked to no bitmap Windows can load (error %lu): no picture shown", picture,
                  GetLastError());
    }
    DeleteTempBitmap(&temp);
    HBITMAP scaled = ScaleBitmapForDpi(bitmap, art->dpi);
    if (scaled) {
        DeleteObject(bitmap);
        bitmap = scaled;
    }
    return bitmap;
}

/* Hands an image to the picture control and deletes what the control gives
 * back unless it is our own bitmap: that is the cover it loaded from the
 * template, or the copy that a static control of comctl32 6 makes of a
 * bitmap with alpha. Neither is released by anyone else. */
static void SetPicture(ArtbookDialog *art, HBITMAP image)
{
    HBITMAP previous = (HBITMAP)SendMessageA(art->pictureControl, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)image);
    if (previous && previous != art->bitmap && previous != image)
        DeleteObject(previous);
}

/* The control gives its image back before our bitmap is deleted, so it
 * never holds a deleted one. */
static void ReleaseBitmap(ArtbookDialog *art)
{
    SetPicture(art, NULL);
    if (art->bitmap) {
        DeleteObject(art->bitmap);
        art->bitmap = NULL;
    }
}

static void ShowCurrentPicture(ArtbookDialog *art)
{
    char title[200];
    ReleaseBitmap(art);
    const char *levelName = GetText(TEXT_LEVEL_1_NAME + art->level);
    if (art->pictureCounts[art->level] > 0) {
        art->bitmap = LoadCurrentPicture(art);
        snprintf(title, sizeof title, "%s : %s #%u", GetText(TEXT_ARTBOOK_CAPTION), levelName, art->picture + 1);
    } else {
        /* No picture of this level on the disc: nothing to number. */
        snprintf(title, sizeof title, "%s : %s", GetText(TEXT_ARTBOOK_CAPTION), levelName);
    }
    SetPicture(art, art->bitmap);
    SetWindowTextA(art->window, title);
}

static void FillLevelList(ArtbookDialog *art)
{
    char entry[200];
    EnableWindow(art->levelList, FALSE);
    SendMessageA(art->levelList, CB_RESETCONTENT, 0, 0);
    for (unsigned level = 0; level < art->completedCount; level++) {
        snprintf(entry, sizeof entry, "%s %u - %s", GetText(TEXT_ARTBOOK_LEVEL), level + 1,
                 GetText(TEXT_LEVEL_1_NAME + level));
        SendMessageA(art->levelList, CB_ADDSTRING, 0, (LPARAM)entry);
    }
    SendMessageA(art->levelList, CB_SETCURSEL, 0, 0);
    EnableWindow(art->levelList, TRUE);
}

static BOOL OnInitArtbook(HWND dialog, ArtbookDialog *art)
{
    art->window = dialog;
    art->pictureControl = GetDlgItem(dialog, IDC_ART_PICTURE);
    art->levelList = GetDlgItem(dialog, IDC_ART_LEVELS);
    HWND captionLine = GetDlgItem(dialog, IDC_ART_CAPTION);
    /* The cover the control loaded, at the screen's scale; SetPicture
     * releases the one it replaces. */
    HBITMAP cover = ScaleBitmapForDpi((HBITMAP)SendMessageA(art->pictureControl, STM_GETIMAGE, IMAGE_BITMAP, 0),
                                      art->dpi);
    if (cover)
        SetPicture(art, cover);
    HWND exitButton = GetDlgItem(dialog, IDCANCEL);

    art->completedCount = CompletedLevels(Settings.Level);
    if (art->completedCount > 0)
        CountPictures(art);

    SetWindowTextA(dialog, GetText(TEXT_ARTBOOK_CAPTION));
    SetWindowTextA(exitButton, GetText(TEXT_BACK));
    EnableWindow(exitButton, TRUE);
    EnableWindow(GetDlgItem(dialog, IDC_ART_PREV), art->completedCount > 0);
    EnableWindow(GetDlgItem(dialog, IDC_ART_NEXT), art->completedCount > 0);
    /* What a screen reader says for them: "<<" and ">>" are no names, and
     * the list has no visible label (the hidden caption line comes before
     * it, which Windows would take for one). */
    NameDialogItem(dialog, IDC_ART_PREV, TEXT_NAME_ART_PREVIOUS);
    NameDialogItem(dialog, IDC_ART_NEXT, TEXT_NAME_ART_NEXT);
    NameControl(art->levelList, TEXT_NAME_ART_LEVELS);

    if (art->completedCount > 0) {
        EnableWindow(captionLine, FALSE);
        ShowWindow(captionLine, SW_HIDE);
        EnableWindow(art->levelList, TRUE);
        ShowWindow(art->levelList, SW_SHOW);
        FillLevelList(art);
    } else {
        EnableWindow(art->levelList, FALSE);
        ShowWindow(art->levelList, SW_HIDE);
        SetWindowTextA(captionLine, GetText(TEXT_ARTBOOK_LOCKED));
        EnableWindow(captionLine, TRUE);
        ShowWindow(captionLine, SW_SHOW);
    }
    /* No default focus: the cover stays undisturbed until the user acts. */
    return FALSE;
}

static void OnLevelChosen(ArtbookDialog *art)
{
    LRESULT selected = SendMessageA(art->levelList, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR || (unsigned)selected >= art->completedCount)
        return;
    art->level = (unsigned)selected;
    art->picture = 0;
    ShowCurrentPicture(art);
}

/* << (step -1) and >> (step 1): the picture before or after within the
 * level, wrapping around. */
static void OnStepClicked(ArtbookDialog *art, int step)
{
    if (art->completedCount == 0)
        return;
    unsigned count = art->pictureCounts[art->level];
    if (count > 0)
        art->picture = (art->picture + (step > 0 ? 1 : count - 1)) % count;
    ShowCurrentPicture(art);
}

static void OnExitArtbook(ArtbookDialog *art)
{
    ReleaseBitmap(art);
    EndDialog(art->window, 1);
}

static INT_PTR CALLBACK ArtbookDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ArtbookDialog *art = DialogState<ArtbookDialog>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        return OnInitArtbook(dialog, art);
    case WM_COMMAND:
        if (!art)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_ART_LEVELS:
            if (HIWORD(wParam) == CBN_SELCHANGE && (HWND)lParam == art->levelList)
                OnLevelChosen(art);
            return TRUE;
        case IDC_ART_PREV:
            OnStepClicked(art, -1);
            return TRUE;
        case IDC_ART_NEXT:
            OnStepClicked(art, 1);
            return TRUE;
        case IDCANCEL:
            OnExitArtbook(art);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        if (!art)
            return FALSE;
        OnExitArtbook(art);
        return TRUE;
    }
    return FALSE;
}

int ShowArtbook(HWND owner) { return ShowArtbookAtDpi(owner, ScreenDpi()); }

int ShowArtbookAtDpi(HWND owner, int dpi)
{
    ArtbookDialog art = {};
    art.dpi = dpi;
    if (DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_ARTBOOK), owner, ArtbookDialogProc, (LPARAM)&art) == -1)
        Trace("artbook: the dialog could not be opened (error %lu)", GetLastError());
    return 1;
}
