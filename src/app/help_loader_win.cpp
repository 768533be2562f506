#include "app/help_loader_win.h"

HelpControlLocation HelpControlPlace = {
    HKEY_CLASSES_ROOT,
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
    "hhctrl.ocx",
};

int FindHelpControlPath(char* path)
{
    path[0] = 0;
    HKEY key;
    if (RegOpenKeyExA(HelpControlPlace.root, HelpControlPlace.key, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 0;
    // The value's type is not looked at: a registered path is what the key holds.
    DWORD size = MaxPathChars;
    LONG result = RegQueryValueExA(key, NULL, NULL, NULL, (BYTE*)path, &size);
    RegCloseKey(key);
    // A value stored without its terminator still ends inside the buffer.
    path[size < MaxPathChars ? size : MaxPathChars - 1] = 0;
    if (result != ERROR_SUCCESS) {
        path[0] = 0;
        return 0;
    }
    return 1;
}

static void LoadHelpControl()
{
    char path[MaxPathChars];
    if (FindHelpControlPath(path)) HelpControlModule = LoadLibraryA(path);
    if (!HelpControlModule) HelpControlModule = LoadLibraryA(HelpControlPlace.fileName);
    if (!HelpControlModule) HelpLoadFailed = 1;
}

HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
    if (!HelpControlModule && !HelpLoadFailed) LoadHelpControl();
    // Without a module there is nothing to look in: GetProcAddress would search the
    // program itself.
    if (!HelpControlModule) return NULL;
    if (!HtmlHelpEntry) {
        HtmlHelpEntry = (HtmlHelpEntryProc)GetProcAddress(HelpControlModule,
                                                          MAKEINTRESOURCEA(HtmlHelpOrdinal));
        if (!HtmlHelpEntry) {
            HelpLoadFailed = 1;
            return NULL;
        }
    }
    return HtmlHelpEntry(caller, file, command, data);
}
