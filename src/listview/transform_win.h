#pragma once
#include "app/globals_win.h"
#include "import/thumbnail.h"

void TransformSelectedImages(TransformMode mode);
