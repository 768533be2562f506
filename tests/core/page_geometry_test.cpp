// Page pictures of the preview: sizes, orientation, cells and fitting.
#include <gtest/gtest.h>

#include "layout/page_geometry.h"

TEST(PreviewGeometry, LetterAndA4)
{
    struct { double w, h; int PL, PS, M, GL, A, G, E; } cases[] = {
        {612, 792, 222, 172, 10, 10, 74, 8, 226},
        {792, 612, 222, 172, 10, 10, 74, 8, 226},  // landscape paper reads the same
        {595, 841, 220, 156, 9, 10, 68, 7, 224},
        {595, 842, 220, 156, 9, 10, 68, 7, 224},
        {595.27, 841.89, 220, 156, 9, 10, 68, 7, 224},  // truncated before use
    };
    for (auto& c : cases) {
        PreviewGeometry g = ComputePreviewGeometry(c.w, c.h);
        EXPECT_EQ(c.PL, g.PL) << c.w << "x" << c.h;
        EXPECT_EQ(c.PS, g.PS) << c.w << "x" << c.h;
        EXPECT_EQ(c.M, g.M) << c.w << "x" << c.h;
        EXPECT_EQ(c.GL, g.GL) << c.w << "x" << c.h;
        EXPECT_EQ(c.A, g.A) << c.w << "x" << c.h;
        EXPECT_EQ(c.G, g.G) << c.w << "x" << c.h;
        EXPECT_EQ(c.E, g.E) << c.w << "x" << c.h;
    }
}

// The orientation of successive pages for a sequence of pictures: 'L' landscape page,
// 'P' portrait page; pictures: 'w' wide, 't' tall, 's' square.
static std::string PageSequence(LayoutMode layout, const char* pictures)
{
    PreviewGeometry g = ComputePreviewGeometry(612, 792);
    PreviewPage page = LandscapePreviewPage(g);
    std::string out;
    int perPage = ImagesPerPage(layout), p = 0;
    for (const char* c = pictures; *c; c++) {
        int pw = *c == 'w' ? 96 : *c == 't' ? 48 : 96;
        int ph = *c == 'w' ? 48 : *c == 't' ? 96 : 96;
        if (p == 0) {
            if (PreviewPageTurns(layout, pw, ph, page)) TurnPreviewPage(&page);
            out += page.W > page.H ? 'L' : 'P';
        }
        p = (p + 1) % perPage;
    }
    return out;
}

TEST(PreviewGeometry, PagesFollowTheirFirstPicture)
{
    EXPECT_EQ("LPLL", PageSequence(LayoutOnePerPage, "wtws"));
    EXPECT_EQ("LPPL", PageSequence(LayoutOnePerPage, "stsw"));  // square keeps the page before
    EXPECT_EQ("PLP", PageSequence(LayoutTwoPerPage, "wwttww"));  // two-up takes the other way
    EXPECT_EQ("LL", PageSequence(LayoutTwoPerPage, "sstw"));
    EXPECT_EQ("LL", PageSequence(LayoutFourPerPage, "wtttsttt"));  // only the first decides
    EXPECT_EQ("LP", PageSequence(LayoutFourPerPage, "wwwwtwww"));
    EXPECT_EQ("P", PageSequence(LayoutFourPerPage, "twww"));
}

TEST(PreviewGeometry, LetterTwoUpWithAWidePicture)
{
    PreviewGeometry g = ComputePreviewGeometry(612, 792);
    PreviewPage page = LandscapePreviewPage(g);
    ASSERT_TRUE(PreviewPageTurns(LayoutTwoPerPage, 96, 24, page));
    TurnPreviewPage(&page);
    EXPECT_EQ(172, page.W);
    EXPECT_EQ(222, page.H);
    PreviewCells cells = LayOutPreviewCells(LayoutTwoPerPage, g.E, page);
    EXPECT_EQ(28, cells.ox);
    EXPECT_EQ(1, cells.oy);
    EXPECT_EQ(156, cells.cw);
    EXPECT_EQ(96, cells.ch);
    EXPECT_EQ(36, cells.x[0]);
    EXPECT_EQ(11, cells.y[0]);
    EXPECT_EQ(36, cells.x[1]);
    EXPECT_EQ(117, cells.y[1]);
    int dw, dh;
    FitPreviewPicture(96, 24, cells.cw, cells.ch, &dw, &dh);
    EXPECT_EQ(156, dw);
    EXPECT_EQ(39, dh);
    EXPECT_EQ(28, (cells.ch - dh) / 2);
}

TEST(PreviewGeometry, CellsOfLandscapeAndFourUpPages)
{
    PreviewGeometry g = ComputePreviewGeometry(612, 792);
    PreviewPage page = LandscapePreviewPage(g);  // 222 x 172
    PreviewCells one = LayOutPreviewCells(LayoutOnePerPage, g.E, page);
    EXPECT_EQ(1, one.ox);
    EXPECT_EQ((226 - 172) / 2 + 1, one.oy);
    EXPECT_EQ(222 - 20, one.cw);
    EXPECT_EQ(172 - 16, one.ch);
    EXPECT_EQ(11, one.x[0]);
    EXPECT_EQ(one.oy + 8, one.y[0]);

    PreviewCells two = LayOutPreviewCells(LayoutTwoPerPage, g.E, page);  // side by side
    EXPECT_EQ(96, two.cw);
    EXPECT_EQ(156, two.ch);
    EXPECT_EQ(two.x[0] + 96 + 10, two.x[1]);
    EXPECT_EQ(two.y[0], two.y[1]);

    PreviewCells four = LayOutPreviewCells(LayoutFourPerPage, g.E, page);
    EXPECT_EQ(96, four.cw);
    EXPECT_EQ((172 - 16 - 8) / 2, four.ch);
    EXPECT_EQ(four.x[0], four.x[2]);
    EXPECT_EQ(four.x[1], four.x[3]);
    EXPECT_EQ(four.y[0] + four.ch + 8, four.y[2]);
    EXPECT_EQ(4, four.count);

    PreviewPage square = {100, 100, 5, 5, 5, 5};
    PreviewCells sq = LayOutPreviewCells(LayoutOnePerPage, g.E, square);
    EXPECT_EQ(1, sq.ox);
    EXPECT_EQ(1, sq.oy);
}

TEST(PreviewGeometry, FittingKeepsProportions)
{
    struct { int pw, ph, cw, ch, dw, dh; } cases[] = {
        {96, 48, 202, 156, 202, 101}, {96, 72, 100, 50, 67, 50},  // wide, bound by height
        {48, 96, 202, 156, 78, 156}, {72, 96, 50, 100, 50, 67},   // tall, bound by width
        {96, 96, 202, 156, 156, 156}, {96, 96, 80, 90, 80, 80},   // square
        {96, 41, 96, 74, 96, 41}, {1, 96, 96, 74, 1, 74},
    };
    for (auto& c : cases) {
        int dw = -1, dh = -1;
        FitPreviewPicture(c.pw, c.ph, c.cw, c.ch, &dw, &dh);
        EXPECT_EQ(c.dw, dw) << c.pw << "x" << c.ph << " in " << c.cw << "x" << c.ch;
        EXPECT_EQ(c.dh, dh) << c.pw << "x" << c.ph << " in " << c.cw << "x" << c.ch;
    }
}
