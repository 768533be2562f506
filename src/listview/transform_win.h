#pragma once
#include "ui/globals_win.h"
#include "picture/thumbnail.h"

void TransformSelectedImages(TransformMode mode);
