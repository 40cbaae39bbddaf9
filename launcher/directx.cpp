/* The DirectX component check: the game needs DirectDraw, DirectInput and
 * DirectShow's multimedia stream, and the menu runs this check before it
 * shows when the game is installed. */
#include <windows.h>
#include <objbase.h>

#include "launcher/directx.h"
#include "common/msgdlg.h"
#include "resources/texts.h"

/* The classes and interfaces of the DirectX 5 components the game uses,
 * declared here so that nothing depends on the SDK headers at hand. */
struct DirectXComponent {
    GUID classId;
    GUID interfaceId;
    int failureText;
};

static const DirectXComponent DirectXComponents[] = {
    { /* DirectDraw */
      { 0xD7B70EE0, 0x4340, 0x11CF, { 0xB0, 0x63, 0x00, 0x20, 0xAF, 0xC2, 0xCD, 0x35 } },
      { 0x6C14DB80, 0xA733, 0x11CE, { 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60 } },
      TEXT_DIRECTDRAW_MISSING },
    { /* DirectInput, its ANSI interface */
      { 0x25E609E0, 0xB259, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00 } },
      { 0x89521360, 0xAA8A, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00 } },
      TEXT_DIRECTINPUT_MISSING },
    { /* DirectShow's multimedia stream */
      { 0x49C47CE5, 0x9BA4, 0x11D0, { 0x82, 0x12, 0x00, 0xC0, 0x4F, 0xC3, 0x2C, 0x45 } },
      { 0xBEBE595C, 0x9A6F, 0x11D0, { 0x8F, 0xDE, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0x9D } },
      TEXT_DIRECTX_MEDIA_MISSING },
};

int CheckDirectXComponents(void)
{
    CoInitialize(NULL);
    for (const DirectXComponent &c : DirectXComponents) {
        IUnknown *object = NULL;
        HRESULT hr = CoCreateInstance(c.classId, NULL, CLSCTX_INPROC_SERVER, c.interfaceId,
                                      reinterpret_cast<void **>(&object));
        if (FAILED(hr)) {
            ShowErrorMessage(c.failureText);
            CoUninitialize();
            return 0;
        }
        if (object)
            object->Release();
    }
    CoUninitialize();
    return 1;
}
