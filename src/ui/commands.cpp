#include "ui/commands.h"

#include "resources/resource.h"

// The layout button's row is IDM_LAYOUT_ONE; TWO and FOUR are looked up through it with
// their own tooltip (the layout in force) and image.
const CommandInfo ToolbarCommands[] = {
    {IDM_ADD_IMAGES, 0, PushButton, false, IDS_TIP_ADD_IMAGES, 0, false},
    {IDM_OPTIONS, 3, PushButton, true, IDS_TIP_OPTIONS, 0, false},
    {IDM_MAKE_PDF, 4, PushButton, false, IDS_TIP_MAKE_PDF, 0, false},
    {IDM_PREVIEW, 5, CheckButton, false, IDS_TIP_PREVIEW, IDS_TIP_CLOSE_PREVIEW, true},
    {IDM_LAYOUT_ONE, 7, DropDownButton, true, IDS_TIP_CURRENT_ONE, IDS_TIP_CURRENT_ONE, true},
    {IDM_ROTATE_CW, 10, PushButton, true, IDS_TIP_ROTATE_CW, 0, false},
    {IDM_ROTATE_CCW, 11, PushButton, false, IDS_TIP_ROTATE_CCW, 0, false},
    {IDM_FLIP_TOP_BOTTOM, 12, PushButton, false, IDS_TIP_FLIP_TOP_BOTTOM, 0, false},
    {IDM_FLIP_LEFT_RIGHT, 13, PushButton, false, IDS_TIP_FLIP_LEFT_RIGHT, 0, false},
    {IDM_REMOVE, 14, PushButton, true, IDS_TIP_REMOVE, 0, false},
    {IDM_HELP, 15, PushButton, true, IDS_TIP_HELP, IDS_TIP_HELP, true},
};
const int ToolbarCommandCount = sizeof ToolbarCommands / sizeof ToolbarCommands[0];

const CommandInfo* FindCommand(int id)
{
    if (id == IDM_LAYOUT_TWO || id == IDM_LAYOUT_FOUR) id = IDM_LAYOUT_ONE;
    for (const CommandInfo& c : ToolbarCommands)
        if (c.id == id) return &c;
    return nullptr;
}

int CommandTip(int id, bool preview)
{
    const CommandInfo* c = FindCommand(id);
    if (!c) return 0;
    int tip = preview ? c->previewTip : c->tip;
    if (tip == IDS_TIP_CURRENT_ONE && id == IDM_LAYOUT_TWO) return IDS_TIP_CURRENT_TWO;
    if (tip == IDS_TIP_CURRENT_ONE && id == IDM_LAYOUT_FOUR) return IDS_TIP_CURRENT_FOUR;
    return tip;
}

bool CommandWorksInPreview(int id)
{
    const CommandInfo* c = FindCommand(id);
    return c && c->worksInPreview;
}
