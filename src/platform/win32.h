// windows.h and the common controls, as every Win32 file of the program includes them.
#pragma once
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
