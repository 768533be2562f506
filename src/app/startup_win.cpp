#include "app/startup_win.h"

#include <ole2.h>
#include <shlwapi.h>

#include <cstdio>

#include "decoder/host_win.h"
#include "picture/libraries.h"
#include "app/mainwindow_win.h"
#include "platform/message_loop_win.h"
#include "platform/owners_win.h"
#include "ui/operation_win.h"
#include "ui/version_rules.h"
#include "pdf/pdf_document.h"

int RunTolvane(HINSTANCE instance, int showCommand)
{
    OleInitialize(NULL);
    StartPictureLibrary();
    LoadStringA(instance, IDS_TITLE, WindowTitle, sizeof WindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, MainClassName, sizeof MainClassName);

    if (!RegisterMainWindowClass(instance)) {
        MessageBoxA(NULL, "Window Registration Failed!", "Error!", MB_ICONWARNING);
        StopPictureLibrary();
        OleUninitialize();
        return 1;
    }
    if (!InitInstance(instance, showCommand)) {
        MessageBoxA(NULL, "Window Initialization Failed!", "Error!", MB_ICONWARNING);
        StopPictureLibrary();
        OleUninitialize();
        return 2;
    }
    int exitCode = RunMessageLoop();
    EndAllDecoders();
    StopPictureLibrary();
    OleUninitialize();
    return exitCode;
}

ATOM RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_TOLVANE), IMAGE_ICON, 0, 0,
                                 LR_DEFAULTCOLOR);
    wc.hIconSm = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_TOLVANE), IMAGE_ICON, 0, 0,
                                   LR_DEFAULTCOLOR);
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = MainClassName;
    return RegisterClassExA(&wc);
}

int GetOsVersionClass()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return ClassifyOsVersion(info.dwMajorVersion, info.dwMinorVersion);
}

DWORD GetCommonControlsVersion(const char* libraryName)
{
    // Only asks a library that is already loaded; its load count stays as it is.
    HMODULE module = GetModuleHandleA(libraryName);
    if (!module) return 0;
    DLLGETVERSIONPROC getVersion = (DLLGETVERSIONPROC)GetProcAddress(module, "DllGetVersion");
    if (!getVersion) return 0;
    DLLVERSIONINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info))) return 0;
    return PackCommonControlsVersion(info.dwMajorVersion, info.dwMinorVersion);
}

BOOL HelpFileAttributesPresent(DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NORMAL)) != 0;
}

static void KeepHelpFileIfPresent()
{
    if (!HelpFileAttributesPresent(GetFileAttributesA(HelpFilePath))) HelpFilePath[0] = 0;
}

// Looks for Tolvane.chm in the program's folder, then in the current directory.
void FindHelpFileFrom(const char* programFile, const char* currentDirectory)
{
    HelpFilePath[0] = 0;
    if (programFile) {
        char folder[MaxPathChars];
        CopyText(folder, sizeof folder, programFile);
        char* slash = strrchr(folder, '\\');
        if (slash) {
            *slash = 0;
            snprintf(HelpFilePath, sizeof HelpFilePath, "%s\\Tolvane.chm", folder);
        }
        KeepHelpFileIfPresent();
    }
    if (!HelpFilePath[0] && currentDirectory) {
        snprintf(HelpFilePath, sizeof HelpFilePath, "%s\\Tolvane.chm", currentDirectory);
        KeepHelpFileIfPresent();
    }
}

void FindHelpFile()
{
    char program[MaxPathChars], current[MaxPathChars];
    BOOL haveProgram = GetModuleFileNameA(NULL, program, sizeof program) != 0;
    program[sizeof program - 1] = 0;
    BOOL haveCurrent = GetCurrentDirectoryA(sizeof current, current) != 0;
    current[sizeof current - 1] = 0;
    FindHelpFileFrom(haveProgram ? program : NULL, haveCurrent ? current : NULL);
}

static void MakeInsertionMarkBitmaps()
{
    WindowDC window(MainWindow);
    if (!window.Get()) return;  // reordering then works without a visible mark
    HBITMAP mark = (HBITMAP)LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_INSERT_MARK),
                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    HBITMAP eraser = (HBITMAP)LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_INSERT_ERASER),
                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    // Held for the whole run, with their bitmaps selected.
    InsertMarkDC = CreateCompatibleDC(window.Get());
    InsertEraserDC = CreateCompatibleDC(window.Get());
    if (InsertMarkDC && mark) SelectObject(InsertMarkDC, mark);
    if (InsertEraserDC && eraser) SelectObject(InsertEraserDC, eraser);
}

BOOL InitInstance(HINSTANCE instance, int showCommand)
{
    AppInstance = instance;
    OsVersionClass = GetOsVersionClass();
    CommonControlsVersion = GetCommonControlsVersion("comctl32.dll");
    if (!CommonControlsRecentEnough(CommonControlsVersion)) return FALSE;

    ClearCollection(ImageCollection, FreeSlotQueue);
    DragActive = PdfBuildActive = PaletteShown = PreviewActive = 0;
    PdfPath[0] = ImportDirectory[0] = PdfSaveDirectory[0] = 0;
    MapiLibrary = LoadLibraryA("MAPI32.DLL");
    FindHelpFile();
    SetDefaultPdfSettings(&PdfSettings);
    PdfSetTextCodePage(GetACP());  // captions are in the system code page

    HWND window = CreateWindowExA(0, MainClassName, WindowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, NULL, NULL, instance,
                                  NULL);
    MainWindow = window;
    if (!window) return FALSE;
    SetLoopShortcuts(window, LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));
    StopDecoderWaitsOn(OperationCancelEvent());
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MakeInsertionMarkBitmaps();
    return TRUE;
}
