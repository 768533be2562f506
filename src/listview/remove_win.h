#pragma once
#include "app/globals_win.h"

void RemoveSelectedImages();
