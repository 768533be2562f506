#include "pdf/pdf_settings.h"

#include <cstdio>

PdfSettingsRecord PdfSettings;

const char* const PaperNames[2] = {"Letter", "A4"};

void SetDefaultPdfSettings(PdfSettingsRecord* s)
{
    snprintf(s->pageSizeName, 30, "%s", "Letter");
    s->imageQuality = 0.3;
    s->pageMargin = 36;
    s->cellGap = 36;
    s->layout = LayoutOnePerPage;
    s->password[0] = 0;
    s->openAfterCreation = 0;
    s->mailAfterCreation = 0;
}
