// Page geometry of the preview, as relations that hold for every paper and layout, and
// the page turns it shares with the PDF.
#include <gtest/gtest.h>

#include "layout/page_geometry.h"
#include "pdf/pdf_page_geometry.h"

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
