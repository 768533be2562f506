// Entry of the UI test program: OLE first, then every crash becomes a failing exit status.
#include "app/globals_win.h"

#include <ole2.h>

#include "ui/gtest_win.h"

static LONG WINAPI FailOnCrash(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 99);
    return EXCEPTION_EXECUTE_HANDLER;
}

int main(int argc, char** argv)
{
    OleInitialize(NULL);
    SetUnhandledExceptionFilter(FailOnCrash);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
