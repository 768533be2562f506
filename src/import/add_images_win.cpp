#include "import/add_images_win.h"

void AddImagesFromFiles()
{
    // Adding images is not built yet.
}
