// Entry of the UI test program: OLE first, then every crash becomes a failing exit status.
// Started with "/decoder" it is one of the program's decoder processes instead.
#include "app/decoder_host_win.h"

#include <ole2.h>

#include "ui/gtest_win.h"

static LONG WINAPI FailOnCrash(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 99);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv)
{
    // The program's decoder processes are this test program started with "/decoder".
    if (RunDecoderIfAsked(GetCommandLineA())) return 0;
    OleInitialize(NULL);
    SetUnhandledExceptionFilter(FailOnCrash);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
