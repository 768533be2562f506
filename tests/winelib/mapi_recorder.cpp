// A stand-in MAPI32.DLL for the UI tests: MAPISendMail writes its flags and each attached
// file's path and name as one line of key=value fields separated by '|' to the file named
// by TOLVANE_MAPI_RECORD. When TOLVANE_MAPI_WAIT_FOR names a file, it first waits up to
// 5 s for that file to appear and records whether it did, so a test can tell what the
// program started before asking for the mail.
#include <windows.h>
#include <mapi.h>

#include <string>

static bool WaitForFile(const char* path)
{
    for (int i = 0; i < 100; i++) {
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(50);
    }
    return false;
}

static std::string Text(const char* s)
{
    return s ? s : "(null)";
}

extern "C" ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS flags,
                                     ULONG)
{
    char recordPath[MAX_PATH], waitFor[MAX_PATH];
    if (!GetEnvironmentVariableA("TOLVANE_MAPI_RECORD", recordPath, sizeof recordPath))
        return MAPI_E_FAILURE;
    std::string waited = "-";
    if (GetEnvironmentVariableA("TOLVANE_MAPI_WAIT_FOR", waitFor, sizeof waitFor))
        waited = WaitForFile(waitFor) ? "yes" : "no";

    std::string line = "flags=" + std::to_string(flags);
    for (ULONG i = 0; message && message->lpFiles && i < message->nFileCount; i++) {
        const MapiFileDesc& file = message->lpFiles[i];
        line += "|path=" + Text(file.lpszPathName) + "|name=" + Text(file.lpszFileName);
    }
    line += "|waited=" + waited + "\n";

    HANDLE record = CreateFileA(recordPath, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (record == INVALID_HANDLE_VALUE) return MAPI_E_FAILURE;
    DWORD written = 0;
    WriteFile(record, line.data(), (DWORD)line.size(), &written, NULL);
    CloseHandle(record);
    return SUCCESS_SUCCESS;
}
