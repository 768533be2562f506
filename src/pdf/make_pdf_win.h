// The Make PDF command: the save dialog, the build under the "Make PDF" progress dialog,
// then opening and mailing the file as the settings ask.
#pragma once
#include "ui/globals_win.h"

void MakePdfCommand();
// The save dialog. 1 when the user chose a file: PdfPath then holds its full path and
// PdfSaveDirectory its folder. Anything else when it was cancelled or failed.
int ChoosePdfPath();
// A new message in the user's mail program with the file attached; does nothing without
// Simple MAPI.
void MailPdf(const char* path);
