// The program's own HtmlHelpA: HTML Help is not linked to the program; its control,
// hhctrl.ocx, is found through the registry and loaded on the first help request.
//
// The loader keeps the name of the entry point it stands in for, as a C++ function. Wine's
// and the Windows SDK's htmlhelp.h declare an extern "C" HtmlHelpA with the same
// parameters, so this header and htmlhelp.h must never meet in one file (the program
// includes neither htmlhelp.h nor its import library).
#pragma once
#include "ui/globals_win.h"

// HH_DISPLAY_TOPIC: opens the help file at its default topic, or at the topic given.
const UINT HelpDisplayTopic = 0;
// The entry's ordinal in hhctrl.ocx.
const WORD HtmlHelpOrdinal = 14;

// Where the loader looks for the control: the registry value (default value of the key
// below root) and then the library name for the normal search order. The program never
// changes it; tests point it elsewhere to see the fallbacks and the failure handling.
struct HelpControlLocation {
    HKEY root;
    const char* key;
    const char* fileName;
};
extern HelpControlLocation HelpControlPlace;

// Loads the entry on first use and forwards the call; 0 when the control is missing.
// After a failed load nothing is tried again for the rest of the run.
HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// Reads the registered path of the HTML Help control into path (260 bytes, always
// terminated). Returns 1 when the registry gave a path, 0 otherwise.
int FindHelpControlPath(char* path);
