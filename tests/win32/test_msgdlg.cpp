/* The error and warning dialogs, driven inside their modal loops. */
#include <windows.h>
#include <gtest/gtest.h>

#include "common/app.h"
#include "common/msgdlg.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "tests/win32/guitest.h"

namespace {

const char *const ErrorCaption = "KVL - Erreur";
const char *const WarningCaption = "KVL - Avertissement";

/* What a step saw in the dialog it handled. */
struct Seen {
    std::string caption, message, button, cancel, box;
    bool buttonVisible = false, buttonEnabled = false;
    bool cancelVisible = true, cancelEnabled = true;
    bool boxVisible = true, boxEnabled = true;
};

void Look(HWND d, Seen *seen)
{
    seen->caption = gui::Text(d);
    seen->message = gui::ItemText(d, IDC_MSG_TEXT);
    seen->button = gui::ItemText(d, IDC_MSG_BUTTON);
    seen->cancel = gui::ItemText(d, IDCANCEL);
    seen->box = gui::ItemText(d, IDC_MSG_CHECK);
    seen->buttonVisible = gui::Visible(d, IDC_MSG_BUTTON);
    seen->buttonEnabled = gui::Enabled(d, IDC_MSG_BUTTON);
    seen->cancelVisible = gui::Visible(d, IDCANCEL);
    seen->cancelEnabled = gui::Enabled(d, IDCANCEL);
    seen->boxVisible = gui::Visible(d, IDC_MSG_CHECK);
    seen->boxEnabled = gui::Enabled(d, IDC_MSG_CHECK);
}

/* Looks at the dialog with this caption, then presses id (or closes the
 * window when id is 0). */
void LookAndPress(const char *caption, Seen *seen, int id)
{
    gui::OnDialog(caption, [seen, id](HWND d) {
        Look(d, seen);
        if (id)
            gui::Press(d, id);
        else
            gui::Close(d);
    });
}

int ErrorResult(int number, Seen *seen, int id = IDC_MSG_BUTTON)
{
    LookAndPress(ErrorCaption, seen, id);
    gui::Start(5000);
    int result = ShowErrorMessage(number);
    EXPECT_TRUE(gui::Finish());
    return result;
}

int WarningResult(int number, unsigned flags, const char *freeText, Seen *seen, int id)
{
    LookAndPress(WarningCaption, seen, id);
    gui::Start(5000);
    int result = ShowWarningMessage(number, flags, freeText);
    EXPECT_TRUE(gui::Finish());
    return result;
}

}

TEST(ErrorDialog, ShowsTheMessageWithOneQuitButton)
{
    Seen seen;
    EXPECT_EQ(ErrorResult(82, &seen), 0);
    EXPECT_EQ(seen.caption, ErrorCaption);
    EXPECT_EQ(seen.message, "Impossible de lancer KVL.");
    EXPECT_EQ(seen.button, "Quitter");
    EXPECT_TRUE(seen.buttonVisible);
    EXPECT_TRUE(seen.buttonEnabled);
    EXPECT_FALSE(seen.cancelVisible);
    EXPECT_FALSE(seen.boxVisible);
}

TEST(ErrorDialog, ClosingTheWindowReturnsZero)
{
    Seen seen;
    EXPECT_EQ(ErrorResult(79, &seen, 0), 0);
    EXPECT_EQ(seen.message, "Impossible de lancer Setup.exe.");
}

TEST(ErrorDialog, NumbersOutsideTheTableShowUnknownMessage)
{
    const int numbers[] = { 163, 200, -1 };
    for (int n : numbers) {
        Seen seen;
        EXPECT_EQ(ErrorResult(n, &seen), 0) << n;
        EXPECT_EQ(seen.message, "Unknown message") << n;
    }
    Seen last;
    EXPECT_EQ(ErrorResult(162, &last), 0);
    EXPECT_EQ(last.message, GetText(162));
}

TEST(ErrorDialog, EscapeAndOtherCommandsAreIgnored)
{
    HWND *dialog = new HWND(NULL);
    gui::OnDialog(ErrorCaption, [dialog](HWND d) {
        *dialog = d;
        gui::Press(d, IDCANCEL);
        gui::Press(d, IDC_MSG_CHECK);
        PostMessageA(GetDlgItem(d, IDC_MSG_BUTTON), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    gui::Wait(300);
    gui::Queue([dialog]() {
        EXPECT_TRUE(IsWindowVisible(*dialog));
        gui::Press(*dialog, IDC_MSG_BUTTON);
        return true;
    });
    gui::Start(5000);
    EXPECT_EQ(ShowErrorMessage(81), 0);
    EXPECT_TRUE(gui::Finish());
    delete dialog;
}

TEST(WarningDialog, DontShowAgainAloneShowsTheBoxButNoCancel)
{
    Seen seen;
    EXPECT_EQ(WarningResult(87, WARN_DONT_SHOW_AGAIN, NULL, &seen, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(seen.caption, WarningCaption);
    EXPECT_EQ(seen.message, GetMessageText(87));
    EXPECT_EQ(seen.button, "Continuer");
    EXPECT_TRUE(seen.buttonVisible);
    EXPECT_TRUE(seen.buttonEnabled);
    EXPECT_EQ(seen.box, "Ne plus afficher cet avertissement");
    EXPECT_TRUE(seen.boxVisible);
    EXPECT_TRUE(seen.boxEnabled);
    EXPECT_FALSE(seen.cancelVisible);
    EXPECT_FALSE(seen.cancelEnabled);

    Seen closed;
    EXPECT_EQ(WarningResult(87, WARN_DONT_SHOW_AGAIN, NULL, &closed, 0), 0);
}

TEST(WarningDialog, CancelFlagShowsAnnulerWhichReturnsZero)
{
    Seen seen;
    EXPECT_EQ(WarningResult(87, WARN_DONT_SHOW_AGAIN | WARN_CANCEL, NULL, &seen, IDCANCEL), 0);
    EXPECT_EQ(seen.cancel, "Annuler");
    EXPECT_TRUE(seen.cancelVisible);
    EXPECT_TRUE(seen.cancelEnabled);
    EXPECT_TRUE(seen.boxVisible);

    Seen onlyCancel;
    EXPECT_EQ(WarningResult(87, WARN_CANCEL, NULL, &onlyCancel, IDC_MSG_BUTTON), 1);
    EXPECT_TRUE(onlyCancel.cancelVisible);
    EXPECT_FALSE(onlyCancel.boxVisible);
    EXPECT_FALSE(onlyCancel.boxEnabled);
}

TEST(WarningDialog, OtherFlagBitsAreIgnored)
{
    Seen seen;
    EXPECT_EQ(WarningResult(87, 0xFFFCFFFFu, NULL, &seen, IDC_MSG_BUTTON), 1);
    EXPECT_FALSE(seen.cancelVisible);
    EXPECT_FALSE(seen.boxVisible);
}

TEST(WarningDialog, FreeTextOnlyForNumberZero)
{
    const char *text = "Processeur : 90 MHz\r\nM\xe9moire : 8 Mo\r\nConfiguration minimale : 120 MHz, 16 Mo";
    Seen free;
    EXPECT_EQ(WarningResult(0, 0, text, &free, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(free.message, text);
    EXPECT_EQ(free.caption, WarningCaption);
    EXPECT_FALSE(free.cancelVisible);
    EXPECT_FALSE(free.boxVisible);

    Seen none;
    EXPECT_EQ(WarningResult(0, 0, NULL, &none, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(none.message, "Retour au jeu");

    Seen numbered;
    EXPECT_EQ(WarningResult(5, 0, text, &numbered, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(numbered.message, GetMessageText(5));
    EXPECT_NE(numbered.message, text);

    Seen unknown;
    EXPECT_EQ(WarningResult(-1, 0, text, &unknown, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(unknown.message, "Unknown message");
}

TEST(WarningDialog, TickedBoxIsReportedAfterEveryWayOut)
{
    const int ways[] = { IDC_MSG_BUTTON, IDCANCEL, 0 };
    const int results[] = { 1, 0, 0 };
    for (int i = 0; i < 3; i++) {
        int way = ways[i];
        HWND *dialog = new HWND(NULL);
        gui::OnDialog(WarningCaption, [dialog](HWND d) {
            *dialog = d;
            PostMessageA(GetDlgItem(d, IDC_MSG_CHECK), BM_CLICK, 0, 0);
        });
        gui::Queue([dialog, way]() {
            if (!gui::Checked(*dialog, IDC_MSG_CHECK))
                return false;
            if (way)
                gui::Press(*dialog, way);
            else
                gui::Close(*dialog);
            return true;
        });
        gui::Start(5000);
        EXPECT_EQ(ShowWarningMessage(87, WARN_DONT_SHOW_AGAIN | WARN_CANCEL, NULL), results[i]) << way;
        EXPECT_TRUE(gui::Finish());
        EXPECT_EQ(GetWarningDontShowAgain(), 1) << way;
        delete dialog;
    }

    /* Left clear, and then a dialog without the box: both report 0. */
    Seen clear;
    EXPECT_EQ(WarningResult(87, WARN_DONT_SHOW_AGAIN, NULL, &clear, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(GetWarningDontShowAgain(), 0);
    Seen noBox;
    EXPECT_EQ(WarningResult(87, 0, NULL, &noBox, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(GetWarningDontShowAgain(), 0);
}

/* Opening a dialog from inside a step would re-enter the helper's timer, so
 * the nested requests below are made from a one-shot timer of their own. */
namespace {

int NestedKind;          /* 'E' error, 'W' warning */
int NestedResult;
bool NestedDone;

void CALLBACK NestedRequest(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    NestedResult = NestedKind == 'E' ? ShowErrorMessage(82) : ShowWarningMessage(87, WARN_CANCEL, NULL);
    NestedDone = true;
}

void RequestNested(int kind)
{
    NestedKind = kind;
    NestedDone = false;
    NestedResult = -99;
    SetTimer(NULL, 0, 10, NestedRequest);
}

}

TEST(Guards, SecondErrorIsRefusedWhileAWarningStillOpens)
{
    HWND *error = new HWND(NULL);
    int *direct = new int(-99);
    gui::OnDialog(ErrorCaption, [error, direct](HWND d) {
        *error = d;
        *direct = ShowErrorMessage(5); /* refused at once, shows nothing */
        RequestNested('W');
    });
    Seen warning;
    LookAndPress(WarningCaption, &warning, IDC_MSG_BUTTON);
    gui::Queue([error]() {
        if (!NestedDone)
            return false;
        EXPECT_TRUE(IsWindowVisible(*error));
        /* The error dialog still shows its own message. */
        EXPECT_EQ(gui::ItemText(*error, IDC_MSG_TEXT), "Impossible de lancer Setup.exe.");
        gui::Press(*error, IDC_MSG_BUTTON);
        return true;
    });
    gui::Start(5000);
    EXPECT_EQ(ShowErrorMessage(79), 0);
    EXPECT_TRUE(gui::Finish());
    EXPECT_EQ(*direct, -1);
    EXPECT_EQ(NestedResult, 1);
    EXPECT_TRUE(warning.cancelVisible);
    delete error;
    delete direct;
}

TEST(Guards, SecondWarningIsRefusedWhileAnErrorStillOpens)
{
    HWND *warning = new HWND(NULL);
    int *direct = new int(-99);
    gui::OnDialog(WarningCaption, [warning, direct](HWND d) {
        *warning = d;
        *direct = ShowWarningMessage(0, WARN_CANCEL, "autre");
        RequestNested('E');
    });
    Seen error;
    LookAndPress(ErrorCaption, &error, IDC_MSG_BUTTON);
    gui::Queue([warning]() {
        if (!NestedDone)
            return false;
        /* The refused request changed nothing in the open warning. */
        EXPECT_EQ(gui::ItemText(*warning, IDC_MSG_TEXT), "Retour au jeu");
        EXPECT_FALSE(gui::Visible(*warning, IDCANCEL));
        gui::Press(*warning, IDCANCEL);
        return true;
    });
    gui::Start(5000);
    EXPECT_EQ(ShowWarningMessage(0, 0, NULL), 0);
    EXPECT_TRUE(gui::Finish());
    EXPECT_EQ(*direct, -1);
    EXPECT_EQ(NestedResult, 0);
    EXPECT_EQ(error.message, "Impossible de lancer KVL.");
    delete warning;
    delete direct;
}

TEST(Guards, ClosedDialogsCanOpenAgainAndAFailedCreationLeavesNoGuard)
{
    HINSTANCE saved = Instance;
    Instance = GetModuleHandleA("kernel32.dll"); /* holds no template 302 */
    EXPECT_EQ(ShowErrorMessage(82), -1);
    EXPECT_EQ(ShowWarningMessage(87, 0, NULL), -1);
    Instance = saved;

    Seen again;
    EXPECT_EQ(ErrorResult(82, &again), 0);
    Seen warning;
    EXPECT_EQ(WarningResult(87, 0, NULL, &warning, IDC_MSG_BUTTON), 1);
}
