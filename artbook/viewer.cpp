/* The artbook: a modal dialog that shows the concept pictures of the levels
 * the player has completed, one level at a time, with << and >> wrapping
 * around. Each picture is unpacked from the disc into a temporary bitmap
 * file, loaded, and the file deleted again at once. */
#include <windows.h>
#include <stdio.h>

#include "artbook/artbook.h"
#include "artbook/ppk.h"
#include "common/app.h"
#include "common/levels.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "resources/resource.h"

#define TEXT_ART_EXIT      119
#define TEXT_ART_TITLE     135
#define TEXT_ART_LEVEL     136
#define TEXT_ART_FIRST_NAME 137
#define TEXT_ART_LOCKED    144
#define PICTURE_WIDTH      640
#define PICTURE_HEIGHT     480
#define TEMP_BITMAP_NAME   "Artbook.bmp"
#define TEMP_BITMAP_PREFIX "art"

static unsigned PictureCounts[LEVEL_COUNT];
static unsigned CompletedCount;
static unsigned CurrentLevel;
static unsigned CurrentPicture;
static HBITMAP Bitmap;
static HWND ArtDialog;
static HWND PictureControl;
static HWND CaptionLine;
static HWND LevelList;
static HWND PrevButton;
static HWND NextButton;
static HWND ExitButton;

/* "%c:\Artbook\Art%d_%02d.ppk" on the disc's drive; 0 when it does not fit. */
static int BuildPicturePath(char *path, size_t size, unsigned level, unsigned picture)
{
    int n = snprintf(path, size, "%c:\\Artbook\\Art%u_%02u.ppk", Settings.CDRoot[0], level + 1, picture);
    return n > 0 && (size_t)n < size;
}

static void CountPictures(void)
{
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
        PictureCounts[level] = count;
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
    if (Settings.ExeDir[0] && n > 0 && (size_t)n < sizeof temp->path) {
        temp->pin = CreateFileA(temp->path, GENERIC_READ, TEMP_BITMAP_SHARING, NULL, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, NULL);
        if (temp->pin != INVALID_HANDLE_VALUE)
            return 1;
    }
    char dir[MAX_PATH];
    DWORD len = GetTempPathA(sizeof dir, dir);
    /* GetTempFileNameA creates the file exclusively under a name of its
     * choosing, and needs room for that name after the folder. */
    if (len == 0 || len >= sizeof dir - 14 || !GetTempFileNameA(dir, TEMP_BITMAP_PREFIX, 0, temp->path))
        return 0;
    temp->pin = CreateFileA(temp->path, GENERIC_READ, TEMP_BITMAP_SHARING, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
    if (temp->pin != INVALID_HANDLE_VALUE)
        return 1;
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
static HBITMAP LoadCurrentPicture(void)
{
    char picture[MAX_PATH];
    TempBitmap temp;
    if (!BuildPicturePath(picture, sizeof picture, CurrentLevel, CurrentPicture) || !CreateTempBitmap(&temp))
        return NULL;
    HBITMAP bitmap = NULL;
    if (UnpackPpkFile(picture, temp.path))
        bitmap = (HBITMAP)LoadImageA(NULL, temp.path, IMAGE_BITMAP, PICTURE_WIDTH, PICTURE_HEIGHT,
                                     LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    DeleteTempBitmap(&temp);
    return bitmap;
}

/* Hands an image to the picture control and deletes what the control gives
 * back unless it is our own bitmap: that is the cover it loaded from the
 * template, or the copy that a static control of comctl32 6 makes of a
 * bitmap with alpha. Neither is released by anyone else. */
static void SetPicture(HBITMAP image)
{
    HBITMAP previous = (HBITMAP)SendMessageA(PictureControl, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)image);
    if (previous && previous != Bitmap && previous != image)
        DeleteObject(previous);
}

/* The control gives its image back before our bitmap is deleted, so it
 * never holds a deleted one. */
static void ReleaseBitmap(void)
{
    SetPicture(NULL);
    if (Bitmap) {
        DeleteObject(Bitmap);
        Bitmap = NULL;
    }
}

static void ShowCurrentPicture(void)
{
    char title[200];
    ReleaseBitmap();
    unsigned count = PictureCounts[CurrentLevel];
    if (count > 0) {
        Bitmap = LoadCurrentPicture();
        snprintf(title, sizeof title, "%s : %s #%u", GetText(TEXT_ART_TITLE),
                 GetText(TEXT_ART_FIRST_NAME + CurrentLevel), CurrentPicture + 1);
    } else {
        /* No picture of this level on the disc: nothing to number. */
        snprintf(title, sizeof title, "%s : %s", GetText(TEXT_ART_TITLE), GetText(TEXT_ART_FIRST_NAME + CurrentLevel));
    }
    SetPicture(Bitmap);
    SetWindowTextA(ArtDialog, title);
}

static void FillLevelList(void)
{
    char entry[200];
    EnableWindow(LevelList, FALSE);
    SendMessageA(LevelList, CB_RESETCONTENT, 0, 0);
    for (unsigned level = 0; level < CompletedCount; level++) {
        snprintf(entry, sizeof entry, "%s %u - %s", GetText(TEXT_ART_LEVEL), level + 1,
                 GetText(TEXT_ART_FIRST_NAME + level));
        SendMessageA(LevelList, CB_ADDSTRING, 0, (LPARAM)entry);
    }
    SendMessageA(LevelList, CB_SETCURSEL, 0, 0);
    EnableWindow(LevelList, TRUE);
}

static BOOL OnInitArtbook(HWND dialog)
{
    ArtDialog = dialog;
    CurrentLevel = 0;
    CurrentPicture = 0;
    Bitmap = NULL;
    PictureControl = GetDlgItem(dialog, IDC_ART_PICTURE);
    CaptionLine = GetDlgItem(dialog, IDC_ART_CAPTION);
    LevelList = GetDlgItem(dialog, IDC_ART_LEVELS);
    PrevButton = GetDlgItem(dialog, IDC_ART_PREV);
    NextButton = GetDlgItem(dialog, IDC_ART_NEXT);
    ExitButton = GetDlgItem(dialog, IDCANCEL);

    CompletedCount = CompletedLevels(Settings.Level);
    for (unsigned level = 0; level < LEVEL_COUNT; level++)
        PictureCounts[level] = 0;
    if (CompletedCount > 0)
        CountPictures();

    SetWindowTextA(dialog, GetText(TEXT_ART_TITLE));
    SetWindowTextA(ExitButton, GetText(TEXT_ART_EXIT));
    EnableWindow(ExitButton, TRUE);
    EnableWindow(PrevButton, CompletedCount > 0);
    EnableWindow(NextButton, CompletedCount > 0);

    if (CompletedCount > 0) {
        EnableWindow(CaptionLine, FALSE);
        ShowWindow(CaptionLine, SW_HIDE);
        EnableWindow(LevelList, TRUE);
        ShowWindow(LevelList, SW_SHOW);
        FillLevelList();
    } else {
        EnableWindow(LevelList, FALSE);
        ShowWindow(LevelList, SW_HIDE);
        SetWindowTextA(CaptionLine, GetText(TEXT_ART_LOCKED));
        EnableWindow(CaptionLine, TRUE);
        ShowWindow(CaptionLine, SW_SHOW);
    }
    /* No default focus: the cover stays undisturbed until the user acts. */
    return FALSE;
}

static void OnLevelChosen(void)
{
    LRESULT selected = SendMessageA(LevelList, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR || (unsigned)selected >= CompletedCount)
        return;
    CurrentLevel = (unsigned)selected;
    CurrentPicture = 0;
    ShowCurrentPicture();
}

static void OnPreviousPicture(void)
{
    if (CompletedCount == 0)
        return;
    unsigned count = PictureCounts[CurrentLevel];
    if (count > 0)
        CurrentPicture = (CurrentPicture + count - 1) % count;
    ShowCurrentPicture();
}

static void OnNextPicture(void)
{
    if (CompletedCount == 0)
        return;
    unsigned count = PictureCounts[CurrentLevel];
    if (count > 0)
        CurrentPicture = (CurrentPicture + 1) % count;
    ShowCurrentPicture();
}

static void OnExitArtbook(HWND dialog)
{
    ReleaseBitmap();
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK ArtbookDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitArtbook(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ART_LEVELS:
            if (HIWORD(wParam) == CBN_SELCHANGE && (HWND)lParam == LevelList)
                OnLevelChosen();
            return TRUE;
        case IDC_ART_PREV:
            OnPreviousPicture();
            return TRUE;
        case IDC_ART_NEXT:
            OnNextPicture();
            return TRUE;
        case IDCANCEL:
            OnExitArtbook(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnExitArtbook(dialog);
        return TRUE;
    }
    return FALSE;
}

int ShowArtbook(HWND owner)
{
    DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_ARTBOOK), owner, ArtbookDialogProc, 0);
    return 1;
}
