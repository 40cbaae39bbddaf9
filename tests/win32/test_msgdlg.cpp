/* The error and warning dialogs, driven inside their modal loops. */
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/app.h"
#include "common/msgdlg.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"
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

int WarningResult(int number, unsigned flags, const char *freeText, Seen *seen, int id, int *dontShowAgain = NULL)
{
    LookAndPress(WarningCaption, seen, id);
    gui::Start(5000);
    int result = ShowWarningMessage(number, flags, freeText, dontShowAgain);
    EXPECT_TRUE(gui::Finish());
    return result;
}

}

TEST(ErrorDialog, ShowsTheMessageWithOneQuitButton)
{
    Seen seen;
    EXPECT_EQ(ErrorResult(TEXT_GAME_FAILED, &seen), 0);
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
    EXPECT_EQ(ErrorResult(TEXT_SETUP_FAILED, &seen, 0), 0);
    EXPECT_EQ(seen.message, "Impossible de lancer Setup.exe.");
}

TEST(ErrorDialog, NumbersOutsideTheTableShowUnknownMessage)
{
    /* The launcher's own later texts are no message numbers. */
    const int numbers[] = { TEXT_MESSAGE_COUNT, TEXT_TABLE_SHIPPED_COUNT - 1, TEXT_TABLE_SHIPPED_COUNT + 37, -1 };
    for (int n : numbers) {
        Seen seen;
        EXPECT_EQ(ErrorResult(n, &seen), 0) << n;
        EXPECT_EQ(seen.message, "Unknown message") << n;
    }
    Seen last;
    EXPECT_EQ(ErrorResult(TEXT_MESSAGE_COUNT - 1, &last), 0);
    EXPECT_EQ(last.message, GetText(TEXT_MESSAGE_COUNT - 1));
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
    EXPECT_EQ(ShowErrorMessage(TEXT_NOTEPAD_FAILED), 0);
    EXPECT_TRUE(gui::Finish());
    delete dialog;
}

TEST(WarningDialog, DontShowAgainAloneShowsTheBoxButNoCancel)
{
    Seen seen;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, WARN_DONT_SHOW_AGAIN, NULL, &seen, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(seen.caption, WarningCaption);
    EXPECT_EQ(seen.message, GetMessageText(TEXT_COLOUR_DEPTH_ADVICE));
    EXPECT_EQ(seen.button, "Continuer");
    EXPECT_TRUE(seen.buttonVisible);
    EXPECT_TRUE(seen.buttonEnabled);
    EXPECT_EQ(seen.box, "Ne plus afficher cet avertissement");
    EXPECT_TRUE(seen.boxVisible);
    EXPECT_TRUE(seen.boxEnabled);
    EXPECT_FALSE(seen.cancelVisible);
    EXPECT_FALSE(seen.cancelEnabled);

    Seen closed;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, WARN_DONT_SHOW_AGAIN, NULL, &closed, 0), 0);
}

TEST(WarningDialog, CancelFlagShowsAnnulerWhichReturnsZero)
{
    Seen seen;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, WARN_DONT_SHOW_AGAIN | WARN_CANCEL, NULL, &seen, IDCANCEL), 0);
    EXPECT_EQ(seen.cancel, "Annuler");
    EXPECT_TRUE(seen.cancelVisible);
    EXPECT_TRUE(seen.cancelEnabled);
    EXPECT_TRUE(seen.boxVisible);

    Seen onlyCancel;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, WARN_CANCEL, NULL, &onlyCancel, IDC_MSG_BUTTON), 1);
    EXPECT_TRUE(onlyCancel.cancelVisible);
    EXPECT_FALSE(onlyCancel.boxVisible);
    EXPECT_FALSE(onlyCancel.boxEnabled);
}

TEST(WarningDialog, OtherFlagBitsAreIgnored)
{
    Seen seen;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, 0xFFFCFFFFu, NULL, &seen, IDC_MSG_BUTTON), 1);
    EXPECT_FALSE(seen.cancelVisible);
    EXPECT_FALSE(seen.boxVisible);
}

TEST(WarningDialog, FreeTextOnlyForNumberZero)
{
    const char *text = "Processeur : 90 MHz\r\nM\xe9moire : 8 Mo\r\nConfiguration minimale : 120 MHz, 16 Mo";
    Seen free;
    EXPECT_EQ(WarningResult(MESSAGE_FREE_TEXT, 0, text, &free, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(free.message, text);
    EXPECT_EQ(free.caption, WarningCaption);
    EXPECT_FALSE(free.cancelVisible);
    EXPECT_FALSE(free.boxVisible);

    Seen none;
    EXPECT_EQ(WarningResult(MESSAGE_FREE_TEXT, 0, NULL, &none, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(none.message, "Retour au jeu");

    Seen numbered;
    EXPECT_EQ(WarningResult(TEXT_CONFIRM_QUIT, 0, text, &numbered, IDC_MSG_BUTTON), 1);
    EXPECT_EQ(numbered.message, GetMessageText(TEXT_CONFIRM_QUIT));
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
        int ticked = -1;
        EXPECT_EQ(ShowWarningMessage(TEXT_COLOUR_DEPTH_ADVICE, WARN_DONT_SHOW_AGAIN | WARN_CANCEL, NULL, &ticked),
                  results[i]) << way;
        EXPECT_TRUE(gui::Finish());
        EXPECT_EQ(ticked, 1) << way;
        delete dialog;
    }

    /* Left clear, and then a dialog without the box: both report 0. */
    Seen clear;
    int ticked = -1;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, WARN_DONT_SHOW_AGAIN, NULL, &clear, IDC_MSG_BUTTON, &ticked), 1);
    EXPECT_EQ(ticked, 0);
    Seen noBox;
    ticked = -1;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, 0, NULL, &noBox, IDC_MSG_BUTTON, &ticked), 1);
    EXPECT_EQ(ticked, 0);
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
    NestedResult = NestedKind == 'E' ? ShowErrorMessage(TEXT_GAME_FAILED)
                                     : ShowWarningMessage(TEXT_COLOUR_DEPTH_ADVICE, WARN_CANCEL, NULL);
    NestedDone = true;
}

void RequestNested(int kind)
{
    NestedKind = kind;
    NestedDone = false;
    NestedResult = -99;
    SetTimer(NULL, 0, 10, NestedRequest);
}

/* While one dialog is open: a second request of its kind is made at once,
 * and one of the other kind from the nested timer; that one opens on top
 * and is left with its button. Then the first is looked at again and left
 * with outerEnd. */
struct Nesting {
    HWND outerWindow = NULL;
    int outer = -99;        /* the first request's answer */
    int direct = -99;       /* the second request of the same kind */
    Seen inner;             /* the other kind's dialog */
    Seen outerAfter;        /* the first dialog once the other had gone */
    bool outerVisible = false;
};

void RunNested(const char *outerCaption, std::function<int()> openOuter, std::function<int()> requestSame,
               int nestedKind, const char *innerCaption, int outerEnd, Nesting *n)
{
    gui::OnDialog(outerCaption, [n, requestSame, nestedKind](HWND d) {
        n->outerWindow = d;
        n->direct = requestSame();
        RequestNested(nestedKind);
    });
    LookAndPress(innerCaption, &n->inner, IDC_MSG_BUTTON);
    gui::Queue([n, outerEnd]() {
        if (!NestedDone)
            return false;
        n->outerVisible = IsWindowVisible(n->outerWindow) != 0;
        Look(n->outerWindow, &n->outerAfter);
        gui::Press(n->outerWindow, outerEnd);
        return true;
    });
    gui::Start(5000);
    n->outer = openOuter();
    EXPECT_TRUE(gui::Finish());
}

}

TEST(Guards, SecondErrorIsRefusedWhileAWarningStillOpens)
{
    Nesting n;
    RunNested(ErrorCaption, [] { return ShowErrorMessage(TEXT_SETUP_FAILED); },
              [] { return ShowErrorMessage(TEXT_CONFIRM_QUIT); }, 'W', WarningCaption, IDC_MSG_BUTTON, &n);
    EXPECT_EQ(n.outer, 0);
    EXPECT_EQ(n.direct, -1); /* refused at once, shows nothing */
    EXPECT_EQ(NestedResult, 1);
    EXPECT_TRUE(n.inner.cancelVisible);
    /* The error dialog still shows its own message. */
    EXPECT_TRUE(n.outerVisible);
    EXPECT_EQ(n.outerAfter.message, "Impossible de lancer Setup.exe.");
}

TEST(Guards, SecondWarningIsRefusedWhileAnErrorStillOpens)
{
    Nesting n;
    int ticked = -99;
    RunNested(WarningCaption, [] { return ShowWarningMessage(MESSAGE_FREE_TEXT, 0, NULL); },
              [&ticked] { return ShowWarningMessage(MESSAGE_FREE_TEXT, WARN_CANCEL, "autre", &ticked); }, 'E', ErrorCaption,
              IDCANCEL, &n);
    EXPECT_EQ(n.outer, 0);
    EXPECT_EQ(n.direct, -1);
    EXPECT_EQ(ticked, 0); /* a refused warning reports no tick */
    EXPECT_EQ(NestedResult, 0);
    EXPECT_EQ(n.inner.message, "Impossible de lancer KVL.");
    /* The refused request changed nothing in the open warning. */
    EXPECT_EQ(n.outerAfter.message, "Retour au jeu");
    EXPECT_FALSE(n.outerAfter.cancelVisible);
}

TEST(Guards, ClosedDialogsCanOpenAgainAndAFailedCreationLeavesNoGuard)
{
    HINSTANCE saved = Instance;
    Instance = GetModuleHandleA("kernel32.dll"); /* holds no template 302 */
    EXPECT_EQ(ShowErrorMessage(TEXT_GAME_FAILED), -1);
    EXPECT_EQ(ShowWarningMessage(TEXT_COLOUR_DEPTH_ADVICE, 0, NULL), -1);
    Instance = saved;

    Seen again;
    EXPECT_EQ(ErrorResult(TEXT_GAME_FAILED, &again), 0);
    Seen warning;
    EXPECT_EQ(WarningResult(TEXT_COLOUR_DEPTH_ADVICE, 0, NULL, &warning, IDC_MSG_BUTTON), 1);
}
