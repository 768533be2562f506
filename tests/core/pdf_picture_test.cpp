#include <gtest/gtest.h>

#include <FreeImage.h>

#include "pdf/pdf_library.h"
#include "pdf/pdf_picture.h"

namespace {

class PdfPicture : public testing::Test {
protected:
    void SetUp() override { document_ = PdfCreateDocument(); }
    void TearDown() override { PdfFreeDocument(document_); }
    int document_ = 0;
};

}  // namespace

TEST_F(PdfPicture, EveryStandardPictureBecomesAJpegInTheDocument)
{
    ASSERT_GT(document_, 0);
    struct Case {
        FREE_IMAGE_TYPE type;
        int bpp;
    } cases[] = {{FIT_BITMAP, 24}, {FIT_BITMAP, 32}, {FIT_BITMAP, 8}, {FIT_RGB16, 48}};
    for (const Case& c : cases) {
        FIBITMAP* picture = FreeImage_AllocateT(c.type, 30, 20, c.bpp);
        ASSERT_NE(nullptr, picture);
        EXPECT_GT(AddPictureAsJpeg(picture), 0) << c.bpp << " bits";
    }
}

TEST_F(PdfPicture, PicturesWithoutA24BitFormAreRefused)
{
    ASSERT_GT(document_, 0);
    for (FREE_IMAGE_TYPE type : {FIT_COMPLEX, FIT_DOUBLE}) {
        FIBITMAP* picture = FreeImage_AllocateT(type, 30, 20);
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(-1, AddPictureAsJpeg(picture)) << type;  // and released: no leak
    }
    EXPECT_EQ(-1, AddPictureAsJpeg(nullptr));
}

TEST(PdfPictureWithoutDocument, LibraryRefusalGivesZero)
{
    EXPECT_EQ(0, AddPictureAsJpeg(FreeImage_Allocate(8, 8, 24)));
}
