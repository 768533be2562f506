// Entry of the UI test program: OLE first, then every crash becomes a failing exit status.
// Started with "/decoder" it is one of the program's decoder processes instead, and with
// "/impostor" another process of the user that opens a decoder's pipe first.
#include "ui/ui_support_win.h"

#include <ole2.h>

#include <cstdio>
#include <cstring>

static LONG WINAPI FailOnCrash(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 99);
    return EXCEPTION_EXECUTE_HANDLER;
}

// "/impostor FOLDER": opens the pipe first named in FOLDER\pipes.txt (PIPE_RECORD_VARIABLE)
// as soon as it waits, offers a wrong secret, and writes into FOLDER\impostor.txt whether
// the program then sent it a request.
static int RunImpostor(const std::string& folder)
{
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 1000 && pipe == INVALID_HANDLE_VALUE; i++, Sleep(20)) {
        const std::string names = ReadTestFile(folder + "\\pipes.txt");
        pipe = CreateFileA(names.substr(0, names.find('\n')).c_str(), GENERIC_READ | GENERIC_WRITE,
                           0, NULL, OPEN_EXISTING, 0, NULL);
    }
    const char* result = "never connected";
    if (pipe != INVALID_HANDLE_VALUE) {
        char bytes[DecoderSecretChars];
        memset(bytes, '0', sizeof bytes);
        DWORD moved = 0;
        WriteFile(pipe, bytes, sizeof bytes, &moved, NULL);
        result = ReadFile(pipe, bytes, sizeof bytes, &moved, NULL) && moved > 0
                     ? "connected, then sent a request"
                     : "connected, then turned away";
        CloseHandle(pipe);
    }
    WriteTestFile(folder + "\\impostor.txt", result, strlen(result));
    return 0;
}

int main(int argc, char** argv)
{
    // The program's decoder processes are this test program started with "/decoder".
    const char* decoder = strstr(GetCommandLineA(), "/decoder ");
    char record[MAX_PATH], pipeName[128];
    if (decoder && GetEnvironmentVariableA(PIPE_RECORD_VARIABLE, record, sizeof record) &&
        sscanf(decoder + 9, "%127s", pipeName) == 1)
        WriteTestFile(record, (std::string(pipeName) + "\n").c_str(), strlen(pipeName) + 1, true);
    if (RunDecoderIfAsked(GetCommandLineA())) return 0;
    if (const char* impostor = strstr(GetCommandLineA(), "/impostor "))
        return RunImpostor(impostor + 10);
    OleInitialize(NULL);
    SetUnhandledExceptionFilter(FailOnCrash);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    // Decoders still running at exit would be ended by the job's closing, and under Wine
    // that turns the program's exit status into 0: a failed run would pass.
    EndAllDecoders();
    OleUninitialize();
    return result;
}
