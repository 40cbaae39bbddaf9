/* See readable.h. */
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <map>
#include <string>
#include <vector>

#include "tests/harness/readable.h"

namespace readable {

/* IID_IAccessible, spelt out: the import library of oleacc.dll defines a
 * symbol of that name too, which is not the interface id. */
static const IID AccessibleIid = { 0x618736e0, 0x3c3d, 0x11cf, { 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 } };

static std::string Utf8(const WCHAR *text)
{
    char buf[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, NULL, NULL);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

static std::string TextOf(HWND window)
{
    char buf[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, NULL);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

static std::string Describe(HWND control)
{
    return ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" + TextOf(control) + "\"";
}

std::string AccessibleName(HWND control)
{
    HRESULT com = CoInitialize(NULL);
    std::string result;
    IAccessible *object = NULL;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, (DWORD)OBJID_CLIENT, AccessibleIid, (void **)&object))
        && object) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = NULL;
        if (object->get_accName(self, &name) == S_OK && name)
            result = Utf8(name);
        SysFreeString(name);
        object->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

static int Letters(const std::string &utf8)
{
    WCHAR wide[1024] = L"";
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, sizeof wide / sizeof wide[0]);
    wide[sizeof wide / sizeof wide[0] - 1] = L'\0';
    int letters = 0;
    for (const WCHAR *c = wide; *c; c++)
        letters += IsCharAlphaW(*c) ? 1 : 0;
    return letters;
}

/* The font every template names, as the dialog manager makes it. */
static HFONT DialogFont(int dpi)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(10, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

static bool IsCheckOrRadio(LONG style)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        return true;
    }
    return false;
}

static bool IsTextStatic(LONG style)
{
    switch (style & SS_TYPEMASK) {
    case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_SIMPLE: case SS_LEFTNOWORDWRAP:
        return true;
    }
    return false;
}

/* A label is cut when its text on one line needs more room than the
 * control gives it; a label at least two lines high may wrap and is left
 * alone. A check box's text starts after its box and a gap of half an
 * average character. */
static void CheckLabel(HWND control, HDC dc, const TEXTMETRICA &metrics, std::vector<std::string> *faults)
{
    LONG style = GetWindowLongA(control, GWL_STYLE);
    std::string cls = ClassOf(control), text = TextOf(control);
    bool isStatic = lstrcmpiA(cls.c_str(), "Static") == 0 && IsTextStatic(style);
    bool isCheck = lstrcmpiA(cls.c_str(), "Button") == 0 && IsCheckOrRadio(style);
    if ((!isStatic && !isCheck) || text.empty())
        return;
    RECT client;
    GetClientRect(control, &client);
    if (client.bottom >= 2 * metrics.tmHeight && !isCheck)
        return;
    int room = client.right;
    if (isCheck)
        room -= GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth / 2;
    RECT need = { 0, 0, 0, 0 };
    UINT format = DT_CALCRECT | DT_SINGLELINE | (isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextA(dc, text.c_str(), -1, &need, format);
    if (need.right > room || need.bottom > client.bottom)
        faults->push_back(Describe(control) + ": needs " + std::to_string(need.right) + " x " +
                          std::to_string(need.bottom) + ", has " + std::to_string(room) + " x " +
                          std::to_string(client.bottom));
}

/* The letter after a single "&", lower-cased; 0 when none. */
static WCHAR Mnemonic(const std::string &text)
{
    for (size_t i = 0; i + 1 < text.size(); i++) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            i++;
            continue;
        }
        WCHAR wide[2] = L"";
        MultiByteToWideChar(CP_ACP, 0, &text[i + 1], 1, wide, 1);
        CharLowerBuffW(wide, 1);
        return wide[0];
    }
    return 0;
}

std::vector<std::string> Faults(HWND dialog)
{
    std::vector<std::string> faults;
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HFONT font = DialogFont(dpi);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    std::map<WCHAR, HWND> mnemonics;

    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(c, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            continue;
        if (style & WS_TABSTOP) {
            std::string name = AccessibleName(c);
            if (Letters(name) < 2)
                faults.push_back(Describe(c) + ": a screen reader reads \"" + name + "\"");
        }
        CheckLabel(c, dc, metrics, &faults);
        LONG kind = style & SS_TYPEMASK;
        bool prefixed = lstrcmpiA(ClassOf(c).c_str(), "Static") != 0 ||
                        ((kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT || kind == SS_SIMPLE ||
                          kind == SS_LEFTNOWORDWRAP) && !(style & SS_NOPREFIX));
        WCHAR letter = prefixed ? Mnemonic(TextOf(c)) : 0;
        if (letter) {
            if (mnemonics.count(letter))
                faults.push_back(Describe(c) + ": mnemonic shared with " + Describe(mnemonics[letter]));
            else
                mnemonics[letter] = c;
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return faults;
}

}
