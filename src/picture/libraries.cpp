#include "picture/libraries.h"

#include <FreeImage.h>

void StartPictureLibrary() { FreeImage_Initialise(FALSE); }

void StopPictureLibrary() { FreeImage_DeInitialise(); }
