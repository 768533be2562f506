#include <gtest/gtest.h>

#include "pdf/pdf_page_geometry.h"

TEST(PdfGeometry, PaperTurnFollowsThePictureOnOneAndFourUpAndOpposesItOnTwoUp)
{
    struct Case {
        int cellsPerPage;
        unsigned w, h, W, H;
        PaperTurn expected;
    } cases[] = {
        {1, 800, 600, 612, 792, PaperNameLandscape},  // wide picture, portrait page
        {1, 600, 800, 792, 612, PaperNameAlone},      // tall picture, landscape page
        {1, 800, 600, 792, 612, PaperUnchanged},      // already as wanted
        {1, 600, 800, 612, 792, PaperUnchanged},
        {1, 500, 500, 792, 612, PaperUnchanged},      // square picture
        {1, 800, 600, 700, 700, PaperUnchanged},      // square page
        {4, 800, 600, 612, 792, PaperNameLandscape},
        {4, 600, 800, 792, 612, PaperNameAlone},
        {2, 800, 600, 792, 612, PaperNameAlone},      // two wide pictures stack
        {2, 600, 800, 612, 792, PaperNameLandscape},  // two tall ones side by side
        {2, 800, 600, 612, 792, PaperUnchanged},
        {2, 600, 800, 792, 612, PaperUnchanged},
        {2, 500, 500, 612, 792, PaperUnchanged},
        {3, 800, 600, 612, 792, PaperNameLandscape},  // any other count acts as one-up
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ChoosePaperTurn(c.cellsPerPage, c.w, c.h, c.W, c.H))
            << c.cellsPerPage << "-up, picture " << c.w << "x" << c.h << ", page " << c.W
            << "x" << c.H;
}

TEST(PdfGeometry, CellsOfLetterAndA4Pages)
{
    struct Case {
        int cellsPerPage;
        unsigned W, H;
        unsigned cellWidth, cellHeight;
        int count;
        PageCell cells[4];
    } cases[] = {
        {1, 612, 792, 540, 720, 1, {{36, 756}}},
        {1, 792, 612, 720, 540, 1, {{36, 576}}},
        {2, 612, 792, 540, 342, 2, {{36, 756}, {36, 378}}},
        {2, 792, 612, 342, 540, 2, {{36, 576}, {414, 576}}},
        {2, 700, 700, 296, 628, 2, {{36, 664}, {368, 664}}},  // square page: side by side
        {4, 612, 792, 252, 342, 4, {{36, 756}, {324, 756}, {36, 378}, {324, 378}}},
        {4, 792, 612, 342, 252, 4, {{36, 576}, {414, 576}, {36, 288}, {414, 288}}},
        {1, 595, 841, 523, 769, 1, {{36, 805}}},
        {2, 595, 841, 523, 366, 2, {{36, 805}, {36, 402}}},  // (841 - 72 - 36) / 2 = 366
        {4, 841, 595, 366, 243, 4, {{36, 559}, {439, 559}, {36, 279}, {439, 279}}},
    };
    for (const Case& c : cases) {
        PageCells page;
        memset(&page, 0xcc, sizeof page);
        page = ComputePageCells(c.cellsPerPage, c.W, c.H, 36, 36);
        SCOPED_TRACE(testing::Message() << c.cellsPerPage << "-up on " << c.W << "x" << c.H);
        EXPECT_EQ(c.cellWidth, page.cellWidth);
        EXPECT_EQ(c.cellHeight, page.cellHeight);
        ASSERT_EQ(c.count, page.count);
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(c.cells[i].left, page.cells[i].left) << "cell " << i;
            EXPECT_EQ(c.cells[i].top, page.cells[i].top) << "cell " << i;
        }
    }
}

TEST(PdfGeometry, MarginsTooLargeForThePageGiveEmptyCellsNotHugeOnes)
{
    PageCells page = ComputePageCells(4, 100, 100, 60, 36);
    EXPECT_EQ(0u, page.cellWidth);
    EXPECT_EQ(0u, page.cellHeight);
    EXPECT_EQ(40u, page.cells[0].top);
}

TEST(PdfGeometry, FitKeepsProportionsAndTruncates)
{
    struct Case {
        unsigned w, h, cellWidth, cellHeight, dw, dh;
    } cases[] = {
        {3000, 2000, 540, 720, 540, 360},
        {800, 600, 540, 342, 456, 342},    // width first, height too large: by height
        {600, 800, 540, 720, 540, 720},    // 600 * 720 / 800 = 540 exactly
        {600, 900, 540, 720, 480, 720},
        {900, 600, 252, 342, 252, 168},
        {1000, 3000, 540, 100, 33, 100},   // 33.3 truncates
        {3000, 1000, 100, 540, 100, 33},
        {2000, 3000, 540, 342, 228, 342},
        {1000, 1000, 540, 720, 540, 540},  // square: the smaller side of the cell
        {10, 10, 540, 342, 342, 342},      // small pictures are scaled up by drawing
        {1, 1000, 540, 720, 1, 720},       // 0.72 would truncate to 0: at least 1 point
        {1000, 1, 540, 720, 540, 1},
        {4000000, 3, 540, 720, 540, 1},    // products beyond 32 bits stay exact
    };
    for (const Case& c : cases) {
        DrawnSize d = FitPicture(c.w, c.h, c.cellWidth, c.cellHeight);
        SCOPED_TRACE(testing::Message()
                     << c.w << "x" << c.h << " in " << c.cellWidth << "x" << c.cellHeight);
        EXPECT_EQ(c.dw, d.width);
        EXPECT_EQ(c.dh, d.height);
    }
}

TEST(PdfGeometry, ResamplingByQuality)
{
    struct Case {
        unsigned w, h, dw, dh;
        double quality;
        bool resampled;
        unsigned nw, nh;
    } cases[] = {
        {3000, 2000, 540, 360, 0.0, true, 540, 360},  // one pixel per point
        {3000, 2000, 540, 360, 0.3, true, 1278, 852},  // 540 + 738, 360 + 492
        {3000, 2000, 540, 360, 0.5, true, 1770, 1180},
        {3000, 2000, 540, 360, 0.99, true, 2975, 1983},
        {3000, 2000, 540, 360, 1.0, false, 0, 0},  // full size
        {300, 2000, 540, 360, 0.0, false, 0, 0},   // narrower than drawn: never resampled
        {3000, 300, 540, 360, 0.0, false, 0, 0},
        {540, 2000, 540, 360, 0.0, false, 0, 0},   // equal is not larger
        {3000, 2000, 540, 360, -0.5, true, 540, 360},  // below 0 acts as 0
    };
    for (const Case& c : cases) {
        DrawnSize out = {0, 0};
        bool resampled = ResampledSize(c.w, c.h, {c.dw, c.dh}, c.quality, &out);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.quality);
        EXPECT_EQ(c.resampled, resampled);
        EXPECT_EQ(c.nw, out.width);
        EXPECT_EQ(c.nh, out.height);
    }
}

TEST(PdfGeometry, PictureIsCentredInItsCell)
{
    PageCells page = ComputePageCells(2, 612, 792, 36, 36);  // 540 x 342 cells
    struct Case {
        int cell;
        DrawnSize drawn;
        unsigned left, top;
    } cases[] = {
        {0, {456, 342}, 78, 756},
        {1, {456, 342}, 78, 378},
        {0, {540, 200}, 36, 685},  // (342 - 200) / 2 = 71 below the top
        {1, {539, 341}, 36, 378},  // odd differences halve down
        {0, {540, 342}, 36, 756},
    };
    for (const Case& c : cases) {
        PageCell at = PicturePosition(page, c.cell, c.drawn);
        EXPECT_EQ(c.left, at.left) << c.drawn.width << "x" << c.drawn.height;
        EXPECT_EQ(c.top, at.top) << c.drawn.width << "x" << c.drawn.height;
    }
}
