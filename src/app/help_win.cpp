// Help, the About box and the product's web site.
#include "app/help_win.h"

#include <shellapi.h>

#include "app/product.h"

void ShowHelp()
{
    // The help window comes with the help file.
}

void ShowAboutBox()
{
    // The About box comes with the help file.
}

void OpenWebSite()
{
    ShellExecuteA(NULL, "open", ProductWebAddress, NULL, NULL, SW_SHOWNORMAL);
}
