#include "model/pdf_settings.h"

#include <cstdio>
#include <cstring>

PdfSettingsRecord PdfSettings;

const char* const PaperNames[2] = {"Letter", "A4"};

bool PaperSizeInPoints(const char* name, double* width, double* height)
{
    static const double Sizes[PaperNameCount][2] = {{612, 792}, {595.276, 841.89}};
    for (int i = 0; i < PaperNameCount; i++) {
        if (!name || strcmp(name, PaperNames[i]) != 0) continue;
        *width = Sizes[i][0];
        *height = Sizes[i][1];
        return true;
    }
    return false;
}

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
