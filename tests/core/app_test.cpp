// The program's own tables and texts: the command table that the toolbar, its tooltips
// and the preview switch read, and the About box's paragraphs and library credits.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <hpdf.h>
#include <qpdf/QPDF.hh>

#include <set>
#include <sstream>

#include "ui/commands.h"
#include "app/credits.h"
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

TEST(Libraries, ParagraphsWrapAndCreditsNameTheVersionsTheLibrariesReportAndFitTheirWidth)
{
    struct { const char* text; size_t width; const char* expected; } cases[] = {
        {"one two three", 7, "one two\r\nthree"},
        {"one two\n\nthree", 20, "one two\r\n\r\nthree"},
        {"a https://very.long/address b", 5, "a\r\nhttps://very.long/address\r\nb"},
        {"  spaced   out  ", 20, "spaced out"},
    };
    for (auto& c : cases) EXPECT_EQ(c.expected, WrapParagraphs(c.text, c.width)) << c.text;
    std::istringstream lines(LibraryCredits(51) + "\r\n");
    std::string flat;  // the lines joined by spaces
    for (std::string line; std::getline(lines, line, '\n'); flat += line + " ") {
        ASSERT_TRUE(!line.empty() && line.back() == '\r') << "lines end with CR LF";
        line.pop_back();
        EXPECT_LE(line.size(), 51u) << line;
    }
    for (std::string mention : {std::string("FreeImage open source image library, version ") +
                                    FreeImage_GetVersion(),
                                std::string("libharu ") + HPDF_GetVersion(),
                                "qpdf " + QPDF::QPDFVersion()})
        EXPECT_NE(std::string::npos, flat.find(mention)) << mention << " in " << flat;
}
