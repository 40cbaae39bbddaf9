/* Names for screen readers: see accname.h.
 *
 * The reader's request reaches the control as WM_GETOBJECT with the object
 * id OBJID_CLIENT in lParam. The control's window procedure is replaced by
 * NamedControlProc, which answers that request with a NamedAccessible: the
 * system's standard object for the control (CreateStdAccessibleObject),
 * wrapped so that the name of the control itself comes from the text
 * table. Everything else (role, state, position, default action, the
 * children of a list) is the standard object's. IAccessible is a COM
 * interface, so the wrapper is the one class with virtual functions here:
 * COM calls through that table. */
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <new>

#include "common/accname.h"
#include "common/export.h"
#include "common/texttable.h"
#include "common/trace.h"

typedef HRESULT(WINAPI *CreateStdAccessibleObjectProc)(HWND, LONG, REFIID, void **);
typedef LRESULT(WINAPI *LresultFromObjectProc)(REFIID, WPARAM, LPUNKNOWN);
typedef BSTR(WINAPI *SysAllocStringProc)(const OLECHAR *);

/* What the module takes from oleacc.dll and oleaut32.dll: looked up once,
 * kept for the process (the libraries stay loaded). */
struct AccessibilityLibrary {
    int lookedUp;
    CreateStdAccessibleObjectProc createStdObject;
    LresultFromObjectProc lresultFromObject;
    SysAllocStringProc sysAllocString;
};

static AccessibilityLibrary Library;

/* IID_IAccessible, spelt out: the import library of oleacc.dll, which the
 * launcher does not link, defines a symbol of that name that is no id. */
static const IID AccessibleIid = { 0x618736e0, 0x3c3d, 0x11cf, { 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 } };

/* The system folder's copy, never one beside the launcher or in the
 * current directory. */
static HMODULE LoadFromSystemFolder(const char *name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    size_t nameLength = (size_t)lstrlenA(name);
    if (length == 0 || length + 1 + nameLength >= sizeof path)
        return NULL;
    path[length] = '\\';
    CopyMemory(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}

static int AccessibilityAvailable(void)
{
    if (!Library.lookedUp) {
        Library.lookedUp = 1;
        HMODULE oleacc = LoadFromSystemFolder("oleacc.dll");
        HMODULE oleaut = oleacc ? LoadFromSystemFolder("oleaut32.dll") : NULL;
        Library.createStdObject = ExportAs<CreateStdAccessibleObjectProc>(oleacc, "CreateStdAccessibleObject");
        Library.lresultFromObject = ExportAs<LresultFromObjectProc>(oleacc, "LresultFromObject");
        Library.sysAllocString = ExportAs<SysAllocStringProc>(oleaut, "SysAllocString");
        if (!Library.createStdObject || !Library.lresultFromObject || !Library.sysAllocString)
            Trace("no Active Accessibility (oleacc.dll): controls keep the system's names");
    }
    return Library.createStdObject && Library.lresultFromObject && Library.sysAllocString;
}

/* ---- The wrapped object --------------------------------------------------- */

class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible *standard, int text) : references(1), standard(standard), text(text) {}

    /* IUnknown. The interfaces a reader asks of a control's object besides
     * IAccessible (IOleWindow, IEnumVARIANT) are the standard object's. */
    STDMETHODIMP QueryInterface(REFIID iid, void **object) override
    {
        if (object == NULL)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, AccessibleIid)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        return standard->QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&references); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0) {
            standard->Release();
            delete this;
        }
        return (ULONG)left;
    }

    /* IDispatch */
    STDMETHODIMP GetTypeInfoCount(UINT *count) override { return standard->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return standard->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *params, VARIANT *result,
                        EXCEPINFO *exception, UINT *argError) override
    {
        return standard->Invoke(id, iid, locale, flags, params, result, exception, argError);
    }

    /* IAccessible: the name of the control itself is ours. */
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override
    {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return standard->get_accName(child, name);
        if (name == NULL)
            return E_INVALIDARG;
        WCHAR wide[256];
        if (MultiByteToWideChar(CP_ACP, 0, GetText(text), -1, wide, sizeof wide / sizeof wide[0]) == 0)
            wide[0] = L'\0';
        *name = Library.sysAllocString(wide);
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    STDMETHODIMP get_accParent(IDispatch **parent) override { return standard->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(LONG *count) override { return standard->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **object) override
    {
        return standard->get_accChild(child, object);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR *value) override { return standard->get_accValue(child, value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR *description) override
    {
        return standard->get_accDescription(child, description);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override { return standard->get_accRole(child, role); }
    STDMETHODIMP get_accState(VARIANT child, VARIANT *state) override
    {
        return standard->get_accState(child, state);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR *help) override { return standard->get_accHelp(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        return standard->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return standard->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT *focus) override { return standard->get_accFocus(focus); }
    STDMETHODIMP get_accSelection(VARIANT *selection) override { return standard->get_accSelection(selection); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return standard->get_accDefaultAction(child, action);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override { return standard->accSelect(flags, child); }
    STDMETHODIMP accLocation(LONG *left, LONG *top, LONG *width, LONG *height, VARIANT child) override
    {
        return standard->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT *end) override
    {
        return standard->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(LONG left, LONG top, VARIANT *child) override
    {
        return standard->accHitTest(left, top, child);
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override { return standard->accDoDefaultAction(child); }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return standard->put_accName(child, name); }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return standard->put_accValue(child, value); }

private:
    LONG references;
    IAccessible *standard;
    int text;
};

/* ---- The control's side ---------------------------------------------------- */

/* The control keeps its text number and its own window procedure in two
 * properties until it is destroyed. */
static const char TextProperty[] = "KvlAccessibleText";
static const char ProcProperty[] = "KvlAccessibleProc";

static LRESULT AnswerWithNamedObject(HWND control, WPARAM wParam, int text)
{
    IAccessible *standard = NULL;
    if (FAILED(Library.createStdObject(control, OBJID_CLIENT, AccessibleIid, (void **)&standard)) || !standard)
        return 0;
    NamedAccessible *named = new (std::nothrow) NamedAccessible(standard, text);
    if (!named) {
        standard->Release();
        return 0;
    }
    LRESULT result = Library.lresultFromObject(AccessibleIid, wParam, static_cast<IAccessible *>(named));
    named->Release();
    return result;
}

static LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = (WNDPROC)GetPropA(control, ProcProperty);
    /* The object id is a 32-bit value: Wine passes it zero-extended in a
     * 64-bit lParam, Windows sign-extended. */
    if (message == WM_GETOBJECT && (DWORD)lParam == (DWORD)OBJID_CLIENT) {
        int text = (int)(INT_PTR)GetPropA(control, TextProperty) - 1;
        LRESULT answer = AnswerWithNamedObject(control, wParam, text);
        if (answer > 0)
            return answer;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)own);
        RemovePropA(control, TextProperty);
        RemovePropA(control, ProcProperty);
    }
    return own ? CallWindowProcA(own, control, message, wParam, lParam) : DefWindowProcA(control, message, wParam, lParam);
}

int NameControl(HWND control, int text)
{
    if (control == NULL || text < 0 || !AccessibilityAvailable())
        return 0;
    /* Stored plus one: a property of 0 reads as none. */
    if (!SetPropA(control, TextProperty, (HANDLE)(INT_PTR)(text + 1)))
        return 0;
    if (GetPropA(control, ProcProperty) != NULL)
        return 1; /* already ours: only the name changes */
    WNDPROC own = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (own == NULL || !SetPropA(control, ProcProperty, (HANDLE)own)) {
        RemovePropA(control, TextProperty);
        return 0;
    }
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)NamedControlProc);
    return 1;
}

int NameDialogItem(HWND dialog, int id, int text)
{
    return NameControl(GetDlgItem(dialog, id), text);
}
