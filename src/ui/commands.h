// The commands of the main toolbar as plain data: the toolbar, its tooltips and the
// preview switch all read this one table. Portable: no windows.h here.
#pragma once

enum ButtonKind { PushButton, CheckButton, DropDownButton };

struct CommandInfo {
    int id;             // command id (resources/resource.h)
    int image;          // index in the toolbar's image strip
    ButtonKind kind;
    bool separatorBefore;
    int tip;            // tooltip string id in normal mode
    int previewTip;     // tooltip string id in preview mode; 0: none
    bool worksInPreview;  // stays enabled in preview mode
};

extern const CommandInfo ToolbarCommands[];
extern const int ToolbarCommandCount;

// The row of a command, or null. The layout button's three commands (one, two and four
// per page) share the row of the layout currently shown.
const CommandInfo* FindCommand(int id);

// The tooltip string id for a command in the given mode; 0 when it shows none.
int CommandTip(int id, bool preview);

// Whether the command's button stays enabled in preview mode.
bool CommandWorksInPreview(int id);
