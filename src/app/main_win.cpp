// The program's entry point; everything else lives in the library the tests share.
#include "decoder/host_win.h"
#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    if (RunDecoderIfAsked(commandLine)) return 0;  // started as a decoder process
    return RunTolvane(instance, showCommand);
}
