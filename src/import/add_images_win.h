// The Add Images command: the open dialog, then every chosen file through the import batch.
#pragma once
#include "app/globals_win.h"

// The open dialog's filters: "Supported Images" (selected at first), then all files.
extern const char SupportedImagesFilter[];

// Bytes of the buffer that receives the chosen names.
enum { SelectionBufferBytes = 16260 };

void AddImagesFromFiles();
