// The program's own tables and texts: the command table that the toolbar, its tooltips
// and the preview switch read, the About box's paragraphs and library credits, and the
// toolbar's pictures at each DPI.
#include <FreeImage.h>
#include <dav1d/dav1d.h>
#include <gtest/gtest.h>
#include <hpdf.h>
#include <libde265/de265.h>
#include <libheif/heif.h>
#include <qpdf/QPDF.hh>

#include <functional>
#include <set>
#include <sstream>

#include "model/types.h"
#include "picture/byte_order.h"
#include "ui/commands.h"
#include "ui/dpi.h"
#include "ui/toolbar_art.h"
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
                                "qpdf " + QPDF::QPDFVersion(), std::string("libheif ") + heif_get_version(),
                                std::string("libde265 ") + de265_get_version(), std::string("dav1d ") + dav1d_version()})
        EXPECT_NE(std::string::npos, flat.find(mention)) << mention << " in " << flat;
}

// A strip's bitmap resource of two 6 x 6 pictures; pixel(x, y) is a BGRA value, or for 8
// bits an index into the palette {the strips' grey, black}; y from the top.
static std::vector<uint8_t> Strip(int bits, std::function<uint32_t(int x, int y)> pixel)
{
    std::vector<uint8_t> dib;
    const int header[][2] = {{40, 4}, {12, 4}, {6, 4}, {1, 2}, {bits, 2}, {0, 16},
                             {bits == 8 ? 2 : 0, 4}, {0, 4}};
    for (const auto& field : header) AppendLittleEndian(&dib, field[0], field[1]);
    if (bits == 8) AppendLittleEndian(&dib, 0xC0C0C0, 8);
    for (int y = 5; y >= 0; y--)
        for (int x = 0; x < 12; x++) AppendLittleEndian(&dib, pixel(x, y), bits / 8);
    return dib;
}

// Each picture of a strip is scaled on its own; see-through pixels lend no colour; a
// whole-number enlargement repeats pixels; the 8-bit strips are cut out of their grey and
// flattened on it again. Each scale takes its own strip, else shrinks the next larger one.
TEST(Dpi, ToolbarPicturesAreScaledEachOnItsOwnAndKeepTheirCutOut)
{
    const struct { int dpi, strip, side; } scales[] = {
        {96, 24, 24}, {120, 36, 30}, {144, 36, 36}, {168, 48, 42}, {192, 48, 48}, {288, 48, 72}};
    for (const auto& s : scales)
        EXPECT_TRUE(ToolbarArtAt(s.dpi).stripSide == s.strip && ToolbarArtAt(s.dpi).side == s.side)
            << s.dpi;
    EXPECT_TRUE(ThumbnailSideAt(144) == 144 && ThumbnailSideAt(2000) == MaxThumbnailSide);

    // Red with a see-through blue first column, beside green.
    const std::vector<uint8_t> colour = Strip(32, [](int x, int) {
        return x == 0 ? 0x000000FFu : x < 6 ? 0xFFFF0000u : 0xFF00FF00u; });
    std::vector<uint8_t> out;
    auto at = [&](int side, int x, int y) { return Le32(&out[(y * 2 * side + x) * 4]); };
    ASSERT_TRUE(ToolbarStripPixels(colour.data(), colour.size(), 2, 4, &out));
    const uint32_t edge = at(4, 0, 3);  // part see-through, all red
    EXPECT_TRUE(edge >> 24 > 0 && edge >> 24 < 255 && (edge & 0xFFFFFF) == 0xFF0000);
    EXPECT_TRUE(at(4, 3, 0) == 0xFFFF0000u && at(4, 4, 0) == 0xFF00FF00u) << "no blending across";
    ASSERT_TRUE(ToolbarStripPixels(colour.data(), colour.size(), 2, 12, &out));
    EXPECT_TRUE(at(12, 1, 5) >> 24 == 0 && at(12, 2, 5) == 0xFFFF0000u) << "each pixel twice";

    // Black with a grey (see-through) first column, beside grey.
    const std::vector<uint8_t> flat = Strip(8, [](int x, int) { return x > 0 && x < 6 ? 1u : 0u; });
    ASSERT_TRUE(ToolbarStripPixels(flat.data(), flat.size(), 2, 4, &out));
    const uint32_t grey = 0xFFC0C0C0;  // 1/3 covered: cut out again
    EXPECT_TRUE(at(4, 0, 0) == grey && at(4, 1, 0) == 0xFF000000u && at(4, 5, 2) == grey);
    ASSERT_TRUE(ToolbarStripPixels(flat.data(), flat.size(), 2, 3, &out));  // half covered
    EXPECT_EQ(0xFF606060u, at(3, 0, 0)) << "flattened on the grey";
    EXPECT_FALSE(ToolbarStripPixels(flat.data(), flat.size() - 1, 2, 4, &out)) << "cut short";
}
