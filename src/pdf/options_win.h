#pragma once
#include "app/globals_win.h"

INT_PTR ShowPdfOptions();  // 1 after OK, 2 after Cancel
