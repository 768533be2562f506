#include "listview/transform_win.h"

void TransformSelectedImages(TransformMode)
{
    // Rotating and flipping is not built yet.
}
