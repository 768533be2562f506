// The page turns that the preview shares with the PDF, for every layout and picture shape.
#include <gtest/gtest.h>

#include "model/preview_geometry.h"
#include "model/page_geometry.h"

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
