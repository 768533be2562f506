// The program's entry point; everything else lives in the library the tests share.
#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return RunTolvane(instance, showCommand);
}
