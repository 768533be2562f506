// Page geometry of the PDF and of the preview: relations that hold for every paper and
// layout, so that a fault in any one number shows.
#include <gtest/gtest.h>

#include "layout/page_geometry.h"
#include "pdf/pdf_page_geometry.h"

TEST(Geometry, PdfCellsLieInsideThePageInFillOrderWithoutOverlap)
{
    const unsigned sizes[4][2] = {{612, 792}, {792, 612}, {595, 841}, {841, 595}};
    for (int per : {1, 2, 4})
        for (auto& size : sizes) {
            unsigned W = size[0], H = size[1];
            SCOPED_TRACE(testing::Message() << per << " per page on " << W << "x" << H);
            PageCells page = ComputePageCells(per, W, H, 36, 36);
            ASSERT_EQ(per, page.count);
            for (int i = 0; i < per; i++) {
                const PageCell& c = page.cells[i];
                EXPECT_TRUE(c.left >= 36 && c.left + page.cellWidth <= W - 36);
                EXPECT_TRUE(c.top <= H - 36 && c.top >= 36 + page.cellHeight);
                if (i == 0) continue;
                const PageCell& p = page.cells[i - 1];
                bool right = c.left >= p.left + page.cellWidth + 36 && c.top == p.top;
                bool below = c.top + 36 + page.cellHeight <= p.top;
                EXPECT_TRUE(right || (below && c.left == page.cells[0].left)) << "cell " << i;
            }
            if (per == 2) EXPECT_EQ(W < H, page.cells[1].left == page.cells[0].left);
            DrawnSize d = FitPicture(3000, 2000, page.cellWidth, page.cellHeight);
            EXPECT_TRUE(d.width == page.cellWidth || d.height == page.cellHeight);
            PageCell at = PicturePosition(page, per - 1, d);
            int before = (int)(at.left - page.cells[per - 1].left);
            EXPECT_LE(abs(before - (int)(page.cellWidth - d.width - before)), 1) << "centred";
        }
    EXPECT_EQ(0u, ComputePageCells(4, 100, 100, 60, 60).cellWidth) << "no wrap-around";
}

TEST(Geometry, PaperAndPreviewPagesTurnAlike)
{
    // Picture shapes: wide, tall, square; the page before is landscape or portrait.
    const unsigned shapes[3][2] = {{80, 60}, {60, 80}, {50, 50}};
    PreviewGeometry g = ComputePreviewGeometry(612, 792);
    for (int per : {1, 2, 4})
        for (auto& s : shapes)
            for (bool landscape : {true, false}) {
                PreviewPage page = LandscapePreviewPage(g);
                if (!landscape) TurnPreviewPage(&page);
                PaperTurn turn = ChoosePaperTurn(per, s[0], s[1], landscape ? 792 : 612,
                                                 landscape ? 612 : 792);
                bool wantLandscape = per == 2 ? s[0] < s[1] : s[0] > s[1];
                bool stays = s[0] == s[1] || wantLandscape == landscape;
                EXPECT_EQ(stays ? PaperUnchanged : wantLandscape ? PaperNameLandscape
                                                                 : PaperNameAlone, turn);
                bool turns = PreviewPageTurns(per == 1 ? LayoutOnePerPage : per == 2
                                              ? LayoutTwoPerPage : LayoutFourPerPage,
                                              s[0], s[1], page);
                EXPECT_EQ(s[0] != s[1] && wantLandscape != landscape, turns)
                    << per << " per page, " << s[0] << "x" << s[1];
            }
}

TEST(Geometry, PreviewCellsFitTheirPageInFillOrder)
{
    for (double w : {612.0, 595.276}) {
        PreviewGeometry g = ComputePreviewGeometry(w, 792);
        for (LayoutMode layout : {LayoutOnePerPage, LayoutTwoPerPage, LayoutFourPerPage})
            for (bool turn : {false, true}) {
                PreviewPage page = LandscapePreviewPage(g);
                if (turn) TurnPreviewPage(&page);
                PreviewCells cells = LayOutPreviewCells(layout, g.E, page);
                ASSERT_EQ(ImagesPerPage(layout), cells.count);
                EXPECT_TRUE(cells.ox >= 0 && cells.ox + page.W <= g.E);
                for (int i = 0; i < cells.count; i++) {
                    EXPECT_GE(cells.x[i], cells.ox + page.mx);
                    EXPECT_LE(cells.x[i] + cells.cw, cells.ox + page.W - page.mx);
                    EXPECT_LE(cells.y[i] + cells.ch, cells.oy + page.H - page.my);
                    if (i > 0) EXPECT_TRUE(cells.y[i] > cells.y[i - 1] ||
                                           (cells.y[i] == cells.y[i - 1] && cells.x[i] > cells.x[i - 1]));
                }
                int dw, dh;
                FitPreviewPicture(96, 48, cells.cw, cells.ch, &dw, &dh);
                EXPECT_TRUE(dw <= cells.cw && dh <= cells.ch && (dw == cells.cw || dh == cells.ch));
            }
    }
}
