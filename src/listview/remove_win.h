#pragma once
#include "ui/globals_win.h"

void RemoveSelectedImages();
