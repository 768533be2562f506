#include "pdf/options_win.h"

INT_PTR ShowPdfOptions()
{
    return 2;  // the Options dialog is not built yet: nothing changes
}
