// Starting the picture library. FreeImage's format plugins are registered by its DLL and
// its Linux shared library when they load, but by a static FreeImage (the Windows build)
// only when asked. The calls are counted by FreeImage, so asking with the shared library
// too is harmless.
#pragma once

void StartPictureLibrary();
void StopPictureLibrary();
