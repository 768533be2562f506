#include <gtest/gtest.h>

#include <cstring>

#include "pdf/pdf_settings.h"

TEST(PdfSettings, Defaults)
{
    PdfSettingsRecord s;
    memset(&s, 0xcc, sizeof s);  // a field the defaults forget shows up as garbage
    SetDefaultPdfSettings(&s);
    EXPECT_STREQ("Letter", s.pageSizeName);
    EXPECT_DOUBLE_EQ(0.3, s.imageQuality);
    EXPECT_EQ(36u, s.pageMargin);
    EXPECT_EQ(36u, s.cellGap);
    EXPECT_EQ(LayoutOnePerPage, s.layout);
    EXPECT_STREQ("", s.password);
    EXPECT_EQ(0, s.openAfterCreation);
    EXPECT_EQ(0, s.mailAfterCreation);
    EXPECT_STREQ("Letter", PaperNames[0]);
    EXPECT_STREQ("A4", PaperNames[1]);
}
