// Preview mode: one picture per PDF page in a second list view.
#include "layout/preview_win.h"

HWND CreatePreviewListView(HWND parent)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&init)) return NULL;
    HWND view = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | LVS_ICON | LVS_AUTOARRANGE | LVS_OWNERDATA, 0, 0, 0,
                                0, parent, (HMENU)(INT_PTR)IDC_PREVIEW_LIST_VIEW, AppInstance,
                                NULL);
    if (!view) return NULL;
    PreviewListView = view;
    DWORD extended = (DWORD)SendMessageA(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_BORDERSELECT);
    SendMessageA(view, LVM_SETITEMCOUNT, 0, 0);
    ShowWindow(view, SW_HIDE);
    return view;
}

int RenderPreviewPages()
{
    return 0;  // no page pictures yet: the toggle stays in normal mode
}

void EnterPreviewMode()
{
}

void LeavePreviewMode()
{
}

void AnswerPageDisplayInfo(NMLVDISPINFOA*)
{
}
