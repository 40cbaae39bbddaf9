/* The artbook viewer under Wine, on a picture folder staged by the tests in
 * C:\Artbook (CDRoot "C:\"): synthetic 640 x 480 pictures in 256 colours,
 * each filled with a colour that names its level and number, so the test
 * can tell which picture the viewer shows. */
#include <windows.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "artbook/artbook.h"
#include "artbook/ppk.h"
#include "artbook/ppkpack.h"
#include "common/dpiscale.h"
#include "common/levels.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/win32/guitest.h"

static const char StageDir[] = "C:\\Artbook";
static const char GameDir[] = "C:\\ArtbookGame";
static const char MissingGameDir[] = "C:\\No such folder\\Game";

static COLORREF PictureColour(int level, int picture) { return RGB(level * 30, picture * 40, 77); }

/* A 640 x 480 bitmap file in 256 colours: its picture colour everywhere
 * but a band of stripes, so the packer has some work. */
static std::vector<unsigned char> MakeBitmapFile(int level, int picture)
{
    const int w = 640, h = 480, offset = 14 + 40 + 1024;
    std::vector<unsigned char> b(offset + w * h, 0);
    auto put = [&b](size_t at, unsigned v, int bytes) {
        for (int i = 0; i < bytes; i++)
            b[at + i] = (unsigned char)(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, (unsigned)b.size(), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, w, 4);
    put(22, h, 4);
    put(26, 1, 2);
    put(28, 8, 2);
    put(34, w * h, 4);
    put(46, 256, 4);
    COLORREF c = PictureColour(level, picture);
    for (int i = 0; i < 256; i++) {
        b[54 + 4 * i] = (unsigned char)(i == 1 ? GetBValue(c) : i);
        b[55 + 4 * i] = (unsigned char)(i == 1 ? GetGValue(c) : i);
        b[56 + 4 * i] = (unsigned char)(i == 1 ? GetRValue(c) : i);
    }
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            b[offset + y * w + x] = (unsigned char)(y < 100 ? (x / 8 + y) % 7 + 2 : 1);
    return b;
}

static std::string PicturePath(int level, int picture)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\Art%d_%02d.ppk", StageDir, level, picture);
    return path;
}

static void WriteBytes(const std::string &path, const unsigned char *data, size_t n)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fwrite(data, n, 1, f);
    fclose(f);
}

static void StagePicture(int level, int picture, int stored = 0)
{
    std::vector<unsigned char> bmp = MakeBitmapFile(level, picture);
    size_t size = 0;
    unsigned char *image = PackPpkImage(bmp.data(), bmp.size(), stored, &size);
    ASSERT_NE(image, nullptr);
    WriteBytes(PicturePath(level, picture), image, size);
    free(image);
}

/* A packed picture whose packed length runs past the end of the file. */
static void StageTruncatedPicture(int level, int picture)
{
    std::vector<unsigned char> bmp = MakeBitmapFile(level, picture);
    size_t size = 0;
    unsigned char *image = PackPpkImage(bmp.data(), bmp.size(), 0, &size);
    ASSERT_NE(image, nullptr);
    WriteBytes(PicturePath(level, picture), image, size / 2);
    free(image);
}

static void ClearStage()
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("C:\\Artbook\\*.ppk", &found);
    if (find != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((std::string(StageDir) + "\\" + found.cFileName).c_str());
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
}

static std::string TempDir()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string path = dir;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

static std::string TempDirBitmap() { return TempDir() + "Artbook.bmp"; }

static bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

/* The viewer's own files in the temporary folder (GetTempFileNameA names
 * them art*.tmp): deleted by the viewer, or by SetUp after a failed run
 * when remove is set. Returns how many there were. */
static int OwnTempFiles(bool remove = false)
{
    std::string dir = TempDir();
    int n = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "art*.tmp").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            n++;
            if (remove)
                DeleteFileA((dir + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return n;
}

/* A bitmap file of someone else's where the viewer unpacks its pictures,
 * held open without write or delete sharing (as another program may hold
 * it) when held is set. */
struct PlantedBitmap {
    std::string path;
    std::vector<unsigned char> bytes;
    HANDLE held;
};

static PlantedBitmap Plant(const std::string &path, bool held)
{
    PlantedBitmap p = { path, MakeBitmapFile(7, 6), INVALID_HANDLE_VALUE };
    WriteBytes(path, p.bytes.data(), p.bytes.size());
    if (held) {
        p.held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_NE(p.held, INVALID_HANDLE_VALUE) << path;
    }
    return p;
}

/* Lets it go, checks that it is exactly as planted, and removes it. */
static void ExpectUntouchedAndRemove(PlantedBitmap *p)
{
    if (p->held != INVALID_HANDLE_VALUE)
        CloseHandle(p->held);
    std::vector<unsigned char> now(p->bytes.size() + 1);
    FILE *f = fopen(p->path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << p->path << " was deleted";
    now.resize(fread(now.data(), 1, now.size(), f));
    fclose(f);
    EXPECT_TRUE(now == p->bytes) << p->path << " was changed";
    DeleteFileA(p->path.c_str());
}

/* The dots per inch the viewer is opened at; 0 for the screen's. */
static int ViewerDpi;

/* A picture's length as the viewer shows it. */
static int Shown(int length) { return ViewerDpi > 96 ? MulDiv(length, ViewerDpi, 96) : length; }

class Artbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(StageDir, NULL);
        CreateDirectoryA(GameDir, NULL);
        ClearStage();
        /* What an earlier failed run may have left. */
        DeleteFileA((std::string(GameDir) + "\\Artbook.bmp").c_str());
        DeleteFileA(TempDirBitmap().c_str());
        OwnTempFiles(true);
        memset(&Settings, 0, sizeof Settings);
        strcpy(Settings.CDRoot, "C:\\");
        strcpy(Settings.ExeDir, GameDir);
        Settings.Level = 0;
        ViewerDpi = 0;
    }
    void TearDown() override
    {
        ClearStage();
        EXPECT_FALSE(Exists(std::string(GameDir) + "\\Artbook.bmp"));
        EXPECT_FALSE(Exists(TempDirBitmap()));
        EXPECT_EQ(OwnTempFiles(), 0);
    }
};

/* ---- Steps on the open viewer ---- */

static HWND Viewer;

static void Open()
{
    gui::OnDialog(GetText(TEXT_ARTBOOK_CAPTION), [](HWND d) { Viewer = d; });
}

static void Do(std::function<void()> f)
{
    gui::Queue([f]() {
        f();
        return true;
    });
}

/* The name of a level, counted from 1. */
static_assert(TEXT_LEVEL_7_NAME - TEXT_LEVEL_1_NAME == LEVEL_COUNT - 1, "the level names follow each other");
static const char *LevelName(int level) { return GetText(TEXT_LEVEL_1_NAME + level - 1); }

static std::string Title(int level, int number)
{
    char t[200];
    snprintf(t, sizeof t, "%s : %s #%d", GetText(TEXT_ARTBOOK_CAPTION), LevelName(level), number);
    return t;
}

/* The viewer sets its title after each command; clearing it first lets a
 * step wait for that command even when the title will read the same. */
static void ClearTitle() { SetWindowTextA(Viewer, ""); }

static void WaitTitle(const std::string &title)
{
    gui::Queue([title]() { return gui::Text(Viewer) == title; });
}

static HBITMAP ShownBitmap()
{
    return (HBITMAP)SendDlgItemMessageA(Viewer, IDC_ART_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0);
}

static COLORREF ColourAt(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

/* Presses a button and waits for the picture that follows. */
static void PressAndWait(int id, int level, int picture)
{
    Do([id]() {
        ClearTitle();
        gui::Press(Viewer, id);
    });
    WaitTitle(Title(level, picture + 1));
}

/* The picture shown is that one, by its colour. */
static void ExpectShown(int level, int picture)
{
    Do([level, picture]() {
        HBITMAP shown = ShownBitmap();
        ASSERT_NE(shown, nullptr) << "level " << level << " picture " << picture;
        BITMAP info;
        ASSERT_TRUE(GetObjectA(shown, sizeof info, &info));
        EXPECT_EQ(info.bmWidth, Shown(640));
        EXPECT_EQ(info.bmHeight, Shown(480));
        EXPECT_EQ(ColourAt(shown, Shown(320), Shown(300)), PictureColour(level, picture));
    });
}

/* Presses a button and checks the picture that follows: its title, its
 * colour, and that no temporary bitmap was left behind. */
static void PressAndExpect(int id, int level, int picture)
{
    PressAndWait(id, level, picture);
    ExpectShown(level, picture);
    Do([]() {
        EXPECT_FALSE(Exists(std::string(Settings.ExeDir) + "\\Artbook.bmp"));
        EXPECT_EQ(OwnTempFiles(), 0);
    });
}

static void ChooseLevelAndExpect(int level, int picture)
{
    Do([level]() {
        ClearTitle();
        gui::ComboSelect(Viewer, IDC_ART_LEVELS, level - 1);
    });
    WaitTitle(Title(level, picture + 1));
    Do([level, picture]() {
        ASSERT_NE(ShownBitmap(), nullptr);
        EXPECT_EQ(ColourAt(ShownBitmap(), 320, 300), PictureColour(level, picture));
    });
}

static void RunViewer()
{
    gui::Start();
    EXPECT_EQ(ViewerDpi ? ShowArtbookAtDpi(NULL, ViewerDpi) : ShowArtbook(NULL), 1);
    EXPECT_TRUE(gui::Finish());
}

TEST_F(Artbook, LockedWhenNoLevelIsCompleted)
{
    for (unsigned level : {0u, 8u, 0xFFFFFFFFu}) {
        StagePicture(1, 0);
        Settings.Level = level;
        Open();
        Do([]() {
            EXPECT_TRUE(gui::Visible(Viewer, IDC_ART_CAPTION));
            EXPECT_EQ(gui::ItemText(Viewer, IDC_ART_CAPTION), GetText(TEXT_ARTBOOK_LOCKED));
            EXPECT_FALSE(gui::Visible(Viewer, IDC_ART_LEVELS));
            EXPECT_FALSE(gui::Enabled(Viewer, IDC_ART_PREV));
            EXPECT_FALSE(gui::Enabled(Viewer, IDC_ART_NEXT));
            EXPECT_TRUE(gui::Enabled(Viewer, IDCANCEL));
            EXPECT_EQ(gui::ItemText(Viewer, IDCANCEL), GetText(TEXT_BACK));
            gui::Close(Viewer);
        });
        RunViewer();
    }
}

TEST_F(Artbook, ThreeLevelsListedCoverUntilFirstCommandThenWrapAround)
{
    for (int p = 0; p < 3; p++)
        StagePicture(1, p, p == 0);  /* one stored, the others packed */
    for (int p = 0; p < 5; p++)
        StagePicture(2, p);
    StagePicture(3, 0);
    StagePicture(4, 0);  /* locked: never listed */
    Settings.Level = 3;
    static HBITMAP cover;
    Open();
    Do([]() {
        EXPECT_EQ(gui::Text(Viewer), GetText(TEXT_ARTBOOK_CAPTION));
        EXPECT_FALSE(gui::Visible(Viewer, IDC_ART_CAPTION));
        EXPECT_TRUE(gui::Visible(Viewer, IDC_ART_LEVELS));
        EXPECT_TRUE(gui::Enabled(Viewer, IDC_ART_PREV));
        EXPECT_TRUE(gui::Enabled(Viewer, IDC_ART_NEXT));
        ASSERT_EQ(gui::ComboCount(Viewer, IDC_ART_LEVELS), 3);
        for (int l = 1; l <= 3; l++) {
            char entry[200];
            snprintf(entry, sizeof entry, "%s %d - %s", GetText(TEXT_ARTBOOK_LEVEL), l, LevelName(l));
            EXPECT_EQ(gui::ComboItem(Viewer, IDC_ART_LEVELS, l - 1), entry);
        }
        EXPECT_EQ(gui::ComboSelection(Viewer, IDC_ART_LEVELS), 0);
        cover = ShownBitmap();
        EXPECT_NE(cover, nullptr);
    });
    /* The first >> shows the second picture of level 1. */
    PressAndExpect(IDC_ART_NEXT, 1, 1);
    PressAndExpect(IDC_ART_NEXT, 1, 2);
    PressAndExpect(IDC_ART_NEXT, 1, 0);  /* the stored one */
    PressAndExpect(IDC_ART_PREV, 1, 2);
    /* Choosing a level starts at its first picture; both ways wrap. */
    ChooseLevelAndExpect(2, 0);
    PressAndExpect(IDC_ART_PREV, 2, 4);
    PressAndExpect(IDC_ART_NEXT, 2, 0);
    PressAndExpect(IDC_ART_NEXT, 2, 1);
    ChooseLevelAndExpect(3, 0);
    ChooseLevelAndExpect(2, 0);
    Do([]() { EXPECT_NE(ShownBitmap(), cover); gui::Press(Viewer, IDCANCEL); });
    RunViewer();

    /* Reopening starts again at level 1 with the cover. */
    Open();
    Do([]() {
        EXPECT_EQ(gui::Text(Viewer), GetText(TEXT_ARTBOOK_CAPTION));
        EXPECT_EQ(gui::ComboSelection(Viewer, IDC_ART_LEVELS), 0);
    });
    PressAndExpect(IDC_ART_PREV, 1, 2);  /* the first << shows the last */
    Do([]() { gui::Close(Viewer); });
    RunViewer();
}

TEST_F(Artbook, GapInTheNumberingEndsTheLevel)
{
    StagePicture(1, 0);
    for (int p = 0; p < 5; p++)
        StagePicture(2, p);
    StagePicture(2, 6);
    Settings.Level = 2;
    Open();
    ChooseLevelAndExpect(2, 0);
    PressAndExpect(IDC_ART_PREV, 2, 4);
    PressAndExpect(IDC_ART_NEXT, 2, 0);
    Do([]() { gui::Press(Viewer, IDCANCEL); });
    RunViewer();
}

/* A disc root that is a folder, a copy of the disc: the pictures are
 * below it, not below its drive's root. */
TEST_F(Artbook, ADiscRootThatIsAFolderHoldsThePictures)
{
    const std::string copy = "C:\\Copie KVL", moved = copy + "\\Artbook";
    StagePicture(1, 0);
    StagePicture(1, 1);
    CreateDirectoryA(copy.c_str(), NULL);
    ASSERT_TRUE(MoveFileA(StageDir, moved.c_str()));
    strcpy(Settings.CDRoot, "C:\\Copie KVL\\");
    Settings.Level = 1;
    Open();
    ChooseLevelAndExpect(1, 0);
    PressAndExpect(IDC_ART_NEXT, 1, 1);
    Do([]() { gui::Press(Viewer, IDCANCEL); });
    RunViewer();
    EXPECT_TRUE(MoveFileA(moved.c_str(), StageDir));
    RemoveDirectoryA(copy.c_str());
}

TEST_F(Artbook, TruncatedFileAndEmptyLevelShowNoPicture)
{
    StagePicture(1, 0);
    StageTruncatedPicture(2, 0);
    StagePicture(2, 1);
    Settings.Level = 3;  /* level 3 has no file at all */
    Open();
    Do([]() {
        ClearTitle();
        gui::ComboSelect(Viewer, IDC_ART_LEVELS, 1);
    });
    WaitTitle(Title(2, 1));
    Do([]() { EXPECT_EQ(ShownBitmap(), nullptr); });
    PressAndExpect(IDC_ART_NEXT, 2, 1);
    Do([]() {
        ClearTitle();
        gui::ComboSelect(Viewer, IDC_ART_LEVELS, 2);
    });
    char title[200];
    snprintf(title, sizeof title, "%s : %s", GetText(TEXT_ARTBOOK_CAPTION), GetText(TEXT_LEVEL_3_NAME));
    WaitTitle(title);
    Do([]() {
        EXPECT_EQ(ShownBitmap(), nullptr);
        ClearTitle();
        gui::Press(Viewer, IDC_ART_NEXT);
        gui::Press(Viewer, IDC_ART_PREV);
    });
    /* Still alive and still on level 3 after both arrows. */
    WaitTitle(title);
    Do([]() { gui::Close(Viewer); });
    RunViewer();
}

TEST_F(Artbook, FallsBackToTheTempFolderWhenExeDirCannotTakeTheFile)
{
    strcpy(Settings.ExeDir, MissingGameDir);
    for (int p = 0; p < 2; p++)
        StagePicture(1, p);
    Settings.Level = 1;
    Open();
    PressAndExpect(IDC_ART_NEXT, 1, 1);
    PressAndExpect(IDC_ART_NEXT, 1, 0);
    Do([]() { gui::Press(Viewer, IDCANCEL); });
    RunViewer();
    EXPECT_FALSE(Exists(MissingGameDir));
}

/* Files named Artbook.bmp left where the viewer unpacks, held open by
 * another program: a picture that cannot be unpacked shows nothing, and
 * one that can shows itself, never the planted file, which stays as it was. */
TEST_F(Artbook, PlantedBitmapsHeldOpenAreNeverShown)
{
    StagePicture(1, 0);
    StageTruncatedPicture(1, 1);
    Settings.Level = 1;
    PlantedBitmap inGame = Plant(std::string(GameDir) + "\\Artbook.bmp", true);
    PlantedBitmap inTemp = Plant(TempDirBitmap(), true);
    Open();
    PressAndWait(IDC_ART_NEXT, 1, 1);
    Do([]() { EXPECT_EQ(ShownBitmap(), nullptr); });
    PressAndWait(IDC_ART_NEXT, 1, 0);
    ExpectShown(1, 0);
    Do([]() { gui::Close(Viewer); });
    RunViewer();
    ExpectUntouchedAndRemove(&inGame);
    ExpectUntouchedAndRemove(&inTemp);
}

/* An Artbook.bmp in the installation folder that is not the viewer's is
 * neither overwritten nor deleted: the pictures pass through a file of a
 * unique name in the temporary folder instead. */
TEST_F(Artbook, AnArtbookBmpAlreadyInTheGameFolderStaysAsItWas)
{
    for (int p = 0; p < 2; p++)
        StagePicture(1, p);
    Settings.Level = 1;
    PlantedBitmap inGame = Plant(std::string(GameDir) + "\\Artbook.bmp", false);
    Open();
    PressAndWait(IDC_ART_NEXT, 1, 1);
    ExpectShown(1, 1);
    Do([]() { EXPECT_EQ(OwnTempFiles(), 0); gui::Close(Viewer); });
    RunViewer();
    ExpectUntouchedAndRemove(&inGame);
}

/* Every image the picture control holds is released once it is replaced
 * or the viewer closes: the cover it loaded from the template and each
 * picture, over many openings, at the screen's 96 dots per inch and at
 * 144, where each is a scaled copy. GetGuiResources counts nothing under
 * Wine, so the handles themselves are checked. */
TEST_F(Artbook, CoverAndPicturesAreReleased)
{
    for (int p = 0; p < 2; p++)
        StagePicture(1, p);
    Settings.Level = 1;
    static HBITMAP cover, first, second;
    static BITMAP coverInfo;
    HBITMAP templateCover = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_ART_COVER));
    ASSERT_TRUE(GetObjectA(templateCover, sizeof coverInfo, &coverInfo));
    DeleteObject(templateCover);
    for (int round = 0; round < 20; round++) {
        ViewerDpi = round < 10 ? 0 : 144;
        Open();
        Do([]() {
            cover = ShownBitmap();
            ASSERT_NE(cover, nullptr);
            BITMAP info;
            ASSERT_TRUE(GetObjectA(cover, sizeof info, &info));
            EXPECT_EQ(info.bmWidth, Shown(coverInfo.bmWidth));
            EXPECT_EQ(info.bmHeight, Shown(coverInfo.bmHeight));
        });
        PressAndExpect(IDC_ART_NEXT, 1, 1);
        Do([]() {
            first = ShownBitmap();
            EXPECT_EQ(GetObjectType(cover), 0u) << "the cover";
        });
        PressAndExpect(IDC_ART_NEXT, 1, 0);
        Do([]() {
            second = ShownBitmap();
            EXPECT_EQ(GetObjectType(first), 0u) << "the picture before";
            gui::Close(Viewer);
        });
        RunViewer();
        EXPECT_EQ(GetObjectType(second), 0u) << "the picture shown at closing";
    }
    /* Closed on the cover. */
    for (int dpi : { 0, 144 }) {
        ViewerDpi = dpi;
        Open();
        Do([]() {
            cover = ShownBitmap();
            gui::Close(Viewer);
        });
        RunViewer();
        EXPECT_EQ(GetObjectType(cover), 0u) << "the cover at " << dpi;
    }
}

/* ---- Pictures at the screen's density ---- */

static HBITMAP TwoColourBitmap(int width, int height)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT left = { 0, 0, width / 2, height }, right = { width / 2, 0, width, height };
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 200));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

static SIZE SizeOf(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return { info.bmWidth, info.bmHeight };
}

TEST(PictureScale, CopyAtItsSizeTimesTheDotsPerInchOver96)
{
    HBITMAP picture = TwoColourBitmap(640, 480);
    HBITMAP large = ScaleBitmapForDpi(picture, 144);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(SizeOf(large).cx, 960);
    EXPECT_EQ(SizeOf(large).cy, 720);
    EXPECT_EQ(ColourAt(large, 200, 360), RGB(200, 0, 0)) << "its shape kept";
    EXPECT_EQ(ColourAt(large, 760, 360), RGB(0, 0, 200));
    EXPECT_EQ(SizeOf(picture).cx, 640) << "the source is left as it was";
    DeleteObject(large);

    HBITMAP odd = TwoColourBitmap(83, 37);
    HBITMAP rounded = ScaleBitmapForDpi(odd, 144);
    ASSERT_NE(rounded, nullptr);
    EXPECT_EQ(SizeOf(rounded).cx, 125) << "124.5, rounded";
    EXPECT_EQ(SizeOf(rounded).cy, 56) << "55.5, rounded";
    DeleteObject(rounded);
    HBITMAP lower = ScaleBitmapForDpi(odd, 120);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(SizeOf(lower).cx, 104);
    DeleteObject(lower);

    EXPECT_EQ(ScaleBitmapForDpi(picture, 96), nullptr) << "its own size at 96";
    EXPECT_EQ(ScaleBitmapForDpi(picture, 72), nullptr);
    EXPECT_EQ(ScaleBitmapForDpi(NULL, 144), nullptr);
    DeleteObject(odd);
    DeleteObject(picture);
}

static INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

/* The system information dialog's template has a bitmap and two icons. */
TEST(PictureScale, DialogBitmapsScaledIconsKeptCopiesReleased)
{
    for (int dpi : { 96, 144 }) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_SYSINFO), NULL,
                                         PlainDialogProc, 0);
        ASSERT_NE(dialog, (HWND)NULL);
        HWND picture = NULL;
        std::vector<HWND> icons;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            LONG type = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
            char name[16] = "";
            GetClassNameA(c, name, sizeof name);
            if (lstrcmpiA(name, "Static") == 0 && type == SS_BITMAP)
                picture = c;
            else if (lstrcmpiA(name, "Static") == 0 && type == SS_ICON)
                icons.push_back(c);
        }
        ASSERT_NE(picture, (HWND)NULL);
        ASSERT_EQ(icons.size(), 2u);
        HBITMAP original = (HBITMAP)SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0);
        ASSERT_NE(original, nullptr);
        SIZE own = SizeOf(original);
        std::vector<HANDLE> iconImages;
        for (HWND icon : icons)
            iconImages.push_back((HANDLE)SendMessageA(icon, STM_GETICON, 0, 0));

        ScaleDialogPictures(dialog, dpi);
        HBITMAP shown = (HBITMAP)SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0);
        ASSERT_NE(shown, nullptr);
        /* Grown as the dialog's font grows, which is near the density
         * for a scalable font and less for a raster one. */
        if (dpi > 96) {
            EXPECT_GT(SizeOf(shown).cx, own.cx) << dpi;
            EXPECT_GT(SizeOf(shown).cy, own.cy) << dpi;
        }
        RECT frame;
        GetClientRect(picture, &frame);
        EXPECT_GE(frame.right, SizeOf(shown).cx) << "the frame fits the picture";
        for (size_t i = 0; i < icons.size(); i++)
            EXPECT_EQ((HANDLE)SendMessageA(icons[i], STM_GETICON, 0, 0), iconImages[i]) << "icons stay";
        if (dpi == 96) {
            EXPECT_EQ(shown, original);
        } else {
            EXPECT_EQ(GetObjectType(original), 0u) << "the template's bitmap, replaced";
            ScaleDialogPictures(dialog, dpi);
            EXPECT_EQ((HBITMAP)SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), shown) << "scaled once";
        }
        DestroyWindow(dialog);
        if (dpi != 96) {
            EXPECT_EQ(GetObjectType(shown), 0u) << "the scaled copy, released with its control";
        }
    }
}

/* The viewer on the demo disc (CD-ROM drive R:) with every level done:
 * each level's first picture shows. */
TEST_F(Artbook, ShowsTheDemoDiscPicturesOfEveryLevel)
{
    if (!Exists("R:\\Artbook\\Art1_00.ppk"))
        GTEST_SKIP() << "no artbook pictures on the demo disc";
    strcpy(Settings.CDRoot, "R:\\");
    Settings.Level = LEVEL_COUNT;
    Open();
    Do([]() { EXPECT_EQ(gui::ComboCount(Viewer, IDC_ART_LEVELS), LEVEL_COUNT); });
    for (int level = 1; level <= LEVEL_COUNT; level++) {
        Do([level]() {
            ClearTitle();
            gui::ComboSelect(Viewer, IDC_ART_LEVELS, level - 1);
        });
        WaitTitle(Title(level, 1));
        Do([level]() { EXPECT_NE(ShownBitmap(), nullptr) << "level " << level; });
    }
    Do([]() { gui::Close(Viewer); });
    RunViewer();
}

/* The demo disc's pictures (drive R:) all unpack to 640 x 480 bitmaps. */
TEST(ArtbookDisc, DemoPicturesUnpackToLoadableBitmaps)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("R:\\Artbook\\Art*.ppk", &found);
    if (find == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "no artbook pictures on the demo disc";
    std::string temp = TempDirBitmap();
    int pictures = 0;
    do {
        std::string path = std::string("R:\\Artbook\\") + found.cFileName;
        ASSERT_EQ(UnpackPpkFile(path.c_str(), temp.c_str()), 1) << path;
        HBITMAP b = (HBITMAP)LoadImageA(NULL, temp.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
        DeleteFileA(temp.c_str());
        ASSERT_NE(b, nullptr) << path;
        BITMAP info;
        GetObjectA(b, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 640) << path;
        EXPECT_EQ(info.bmHeight, 480) << path;
        EXPECT_EQ(info.bmBitsPixel, 8) << path;
        DeleteObject(b);
        pictures++;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GE(pictures, LEVEL_COUNT * 2);
}
