// The command table that the toolbar, its tooltips and the preview switch read.
#include <gtest/gtest.h>

#include <set>

#include "app/commands.h"
#include "resources/resource.h"

// Each button's tooltip and state in and out of preview are checked on the real toolbar.
TEST(Commands, TableIsConsistent)
{
    std::set<int> ids, images;
    for (int i = 0; i < ToolbarCommandCount; i++) {
        const CommandInfo& c = ToolbarCommands[i];
        EXPECT_TRUE(ids.insert(c.id).second) << "one row per command";
        EXPECT_TRUE(images.insert(c.image).second) << "one image per button";
        EXPECT_EQ(&c, FindCommand(c.id)) << c.id;
    }
    // Preview itself must stay usable in preview, or the mode could never be left.
    EXPECT_TRUE(CommandWorksInPreview(IDM_PREVIEW));
    EXPECT_NE(CommandTip(IDM_PREVIEW, false), CommandTip(IDM_PREVIEW, true));
    // Editing commands are off in preview: the page pictures do not follow them.
    for (int id : {IDM_ADD_IMAGES, IDM_MAKE_PDF, IDM_ROTATE_CW, IDM_REMOVE}) {
        EXPECT_FALSE(CommandWorksInPreview(id)) << id;
        EXPECT_EQ(0, CommandTip(id, true)) << id;
    }
    // The layout button's tooltip names the layout in force, in both modes.
    std::set<int> layoutTips = {CommandTip(IDM_LAYOUT_ONE, false), CommandTip(IDM_LAYOUT_TWO, true),
                                CommandTip(IDM_LAYOUT_FOUR, false)};
    EXPECT_EQ(3u, layoutTips.size());
    EXPECT_EQ(nullptr, FindCommand(0));  // separators
}
