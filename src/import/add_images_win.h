// The Add Images command: the open dialog, then every chosen file through the import batch.
#pragma once
#include "ui/globals_win.h"

// The open dialog's filters: "Supported Images" (selected at first), then all files.
extern const WCHAR SupportedImagesFilter[];

// Characters of the first buffer that receives the chosen names; it grows while the
// dialog is open when more are chosen.
enum { SelectionBufferChars = 16260 };

void AddImagesFromFiles();
