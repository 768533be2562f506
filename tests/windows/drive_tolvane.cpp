// Drives the Windows Tolvane.exe from outside, as a user would, in its own process:
// starts it, adds pictures through the Add Images dialog, sets a password in Options,
// makes the PDF through the Save dialog and closes the program. Every step waits for
// what it needs to see (a window, a count, a file), up to a generous limit, and says
// which step failed.
//   drive_tolvane TOLVANE_EXE PICTURE_FOLDER "\"a.jpg\" \"b.png\"" PICTURE_COUNT PDF PASSWORD
// Built with MinGW-w64; runs under Wine or on Windows.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/version.h"
#include "resources/resource.h"

namespace {
const DWORD Limit = 120000;  // ms: a loaded machine can be slow, a hang is not
const int FileNameBox = 0x47C;  // cmb13 of the Explorer-style file dialogs
DWORD ProgramId;

// Calls visit with each visible top-level window of the program until it answers FALSE.
void ForEachWindow(std::function<BOOL(HWND)> visit)
{
    EnumWindows([](HWND window, LPARAM param) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != ProgramId || !IsWindowVisible(window)) return TRUE;
        return (*(std::function<BOOL(HWND)>*)param)(window);
    }, (LPARAM)&visit);
}

// Prints the program's visible windows and their controls' texts: what it shows instead.
void DescribeWindows()
{
    ForEachWindow([](HWND window) {
        char name[64] = "", text[256] = "";
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, text, sizeof text);
        fprintf(stderr, "  window %s \"%s\"%s\n", name, text,
                IsWindowEnabled(window) ? "" : " (disabled)");
        EnumChildWindows(window, [](HWND child, LPARAM) -> BOOL {
            char childText[256] = "";
            GetWindowTextA(child, childText, sizeof childText);
            if (childText[0]) fprintf(stderr, "    %d \"%s\"\n", GetDlgCtrlID(child), childText);
            return TRUE;
        }, 0);
        return TRUE;
    });
}

// perPicture: the wait grows with the pictures (a 12-MP HEIC takes seconds on a busy machine).
bool WaitFor(const char* what, const std::function<bool()>& condition, DWORD perPicture = 0)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > Limit + perPicture) {
            fprintf(stderr, "drive_tolvane: gave up waiting for %s; the program shows:\n", what);
            DescribeWindows();
            return false;
        }
        Sleep(20);
    }
    return true;
}

// The program's window of this class that has a control with this id (any for 0): its
// main window ("QUORREL_TOLVANE") or one of its dialogs ("#32770").
HWND FindWindowOf(const char* className, int controlId)
{
    HWND found = NULL;
    ForEachWindow([&](HWND window) {
        char name[32] = "";
        GetClassNameA(window, name, sizeof name);
        if (strcmp(name, className) || (controlId && !GetDlgItem(window, controlId))) return TRUE;
        found = window;
        return FALSE;
    });
    return found;
}

HWND FindDialog(int controlId) { return FindWindowOf("#32770", controlId); }

void PressOk(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDOK));
}

// Types into the file name box of an open or save dialog and presses OK.
void EnterFileName(HWND dialog, const std::string& text)
{
    HWND box = GetDlgItem(dialog, FileNameBox);
    HWND edit = FindWindowExA(box, NULL, "Edit", NULL);
    SendMessageA(edit ? edit : box, WM_SETTEXT, 0, (LPARAM)text.c_str());
    PressOk(dialog);
}

int ItemCount(HWND main)
{
    HWND list = GetDlgItem(main, IDC_IMAGE_LIST_VIEW);
    return list ? (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : -1;
}

// The main window takes commands again: no dialog of the program is open.
bool Idle(HWND main)
{
    return IsWindowEnabled(main) && !FindDialog(0);
}

long long FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// What Explorer shows under the file's Properties: the version resource as Windows reads it.
bool HasVersionResource(const char* exe)
{
    DWORD unused = 0, size = GetFileVersionInfoSizeA(exe, &unused);
    std::vector<char> info(size + 1);
    auto value = [&](const char* name) {
        char* text = NULL;
        UINT length = 0;
        std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        return VerQueryValueA(info.data(), path.c_str(), (void**)&text, &length) && length
                   ? std::string(text) : std::string();
    };
    bool found = size && GetFileVersionInfoA(exe, 0, size, info.data()) &&
                 value("ProductVersion") == TOLVANE_VERSION && value("ProductName") == TOLVANE_NAME &&
                 value("CompanyName") == TOLVANE_COMPANY && !value("FileDescription").empty();
    if (!found) fprintf(stderr, "drive_tolvane: %s has no complete version resource\n", exe);
    return found;
}

bool Drive(const char* folder, const char* names, int count, const char* pdf,
           const char* password)
{
    HWND main = NULL;
    if (!WaitFor("the main window", [&] { return (main = FindWindowOf("QUORREL_TOLVANE", 0)); }))
        return false;

    // Add Images: the dialog goes to the picture folder, then the pictures are chosen.
    PostMessageA(main, WM_COMMAND, IDM_ADD_IMAGES, 0);
    HWND dialog = NULL;
    if (!WaitFor("the Add Images dialog", [&] { return (dialog = FindDialog(FileNameBox)); }))
        return false;
    EnterFileName(dialog, folder);
    EnterFileName(dialog, names);
    DWORD okAt = GetTickCount();  // for bench/compare.sh
    if (!WaitFor("the pictures in the list", [&] { return ItemCount(main) == count && Idle(main); },
                 count * 5000)) {
        fprintf(stderr, "drive_tolvane: %d pictures in the list\n", ItemCount(main));
        return false;
    }
    printf("Add Images, from OK: %.1f ms/picture\n", (GetTickCount() - okAt) / (double)count);

    PostMessageA(main, WM_COMMAND, IDM_OPTIONS, 0);
    if (!WaitFor("the Options dialog", [&] { return (dialog = FindDialog(IDC_OPT_PASSWORD)); }))
        return false;
    SendDlgItemMessageA(dialog, IDC_OPT_PASSWORD, WM_SETTEXT, 0, (LPARAM)password);
    PressOk(dialog);
    if (!WaitFor("the Options dialog to close", [&] { return Idle(main); })) return false;

    PostMessageA(main, WM_COMMAND, IDM_MAKE_PDF, 0);
    if (!WaitFor("the Make PDF dialog", [&] { return (dialog = FindDialog(FileNameBox)); }))
        return false;
    EnterFileName(dialog, pdf);
    okAt = GetTickCount();
    if (!WaitFor("the PDF to be written", [&] { return FileSize(pdf) > 0 && Idle(main); },
                 count * 5000)) {
        HWND progress = FindDialog(IDC_PDF_CANCEL);
        char message[512] = "";
        if (progress) GetDlgItemTextA(progress, IDC_PDF_MESSAGE, message, sizeof message);
        fprintf(stderr, "drive_tolvane: PDF size %lld, message \"%s\"\n", FileSize(pdf), message);
        return false;
    }

    printf("Make PDF, from OK: %.1f ms/picture\n", (GetTickCount() - okAt) / (double)count);
    PostMessageA(main, WM_CLOSE, 0, 0);
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        fprintf(stderr, "usage: drive_tolvane EXE FOLDER NAMES COUNT PDF PASSWORD\n");
        return 2;
    }
    std::string command = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION program = {};
    if (!CreateProcessA(argv[1], &command[0], NULL, NULL, FALSE, 0, NULL, argv[2], &startup,
                        &program)) {
        fprintf(stderr, "drive_tolvane: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    ProgramId = program.dwProcessId;
    bool done = HasVersionResource(argv[1]) &&
                Drive(argv[2], argv[3], atoi(argv[4]), argv[5], argv[6]);
    DWORD exitCode = 1;
    if (done && WaitForSingleObject(program.hProcess, Limit) == WAIT_OBJECT_0)
        GetExitCodeProcess(program.hProcess, &exitCode);
    else
        fprintf(stderr, "drive_tolvane: %s\n", done ? "the program did not end" : "stopped");
    if (!done || exitCode != 0) TerminateProcess(program.hProcess, 1);
    if (done && exitCode != 0) fprintf(stderr, "drive_tolvane: exit code %lu\n", exitCode);
    return done && exitCode == 0 ? 0 : 1;
}
