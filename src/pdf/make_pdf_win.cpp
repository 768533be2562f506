#include "pdf/make_pdf_win.h"

void MakePdfCommand()
{
    // Making the PDF is not built yet.
}
