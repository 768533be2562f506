// Help, the About box and the product's web site, as the Help menu, the Help button and
// F1 reach them.
#include "app/help_win.h"

#include <shellapi.h>

#include "app/help_loader_win.h"
#include "model/product.h"

void ShowHelp()
{
    // An open help window is left as it is: not brought to the front, not opened twice.
    if (IsWindow(HelpWindow)) return;
    if (!HelpFilePath[0]) {
        MessageBoxA(NULL, "Could Not Locate Help File", "Help File Missing", MB_ICONWARNING);
        return;
    }
    // A control that cannot show the file gives no window; that stays silent.
    HelpWindow = HtmlHelpA(MainWindow, HelpFilePath, HelpDisplayTopic, 0);
}

void OpenWebSite()
{
    ShellExecuteA(NULL, "open", ProductWebAddress, NULL, NULL, SW_SHOWNORMAL);
}
