// The options that shape the PDF, with their start-up defaults. Portable.
#pragma once
#include "model/types.h"

// The password box takes PasswordChars - 1 characters; stored as UTF-8 they take up to
// three bytes each.
enum { PasswordChars = 40, PasswordBytes = 3 * (PasswordChars - 1) + 1 };

struct PdfSettingsRecord {
    char pageSizeName[32];   // one of PaperNames
    unsigned pageMargin;     // points between the page edge and the cells
    unsigned cellGap;        // points between neighbouring cells
    LayoutMode layout;
    char password[PasswordBytes];  // UTF-8, as the user typed it; empty: no encryption
    int openAfterCreation;
    int mailAfterCreation;
    double imageQuality;     // 0.0 (one pixel per point drawn) .. 1.0 (full size)
};

extern PdfSettingsRecord PdfSettings;

extern const char* const PaperNames[2];  // "Letter", "A4"
enum { PaperNameCount = 2 };

// The portrait width and height in points of "Letter" (612 x 792) or "A4" (595.276 x
// 841.89); false for any other name.
bool PaperSizeInPoints(const char* name, double* width, double* height);

// Writes the defaults: Letter, quality 0.3, margins and gaps 36, one per page, no
// password, nothing after creation.
void SetDefaultPdfSettings(PdfSettingsRecord* settings);
