#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pdf/pdf_paths.h"

TEST(PdfPaths, FileNameIsWhatFollowsTheLastSeparator)
{
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Users\\me\\album.pdf", "album.pdf"},
        {"C:\\Users\\me\\album", "album"},
        {"C:\\Users\\me\\.pdf", ".pdf"},
        {"C:\\Users\\me\\", ""},
        {"C:album.pdf", "album.pdf"},
        {"C:", ""},
        {"/home/me/album.pdf", "album.pdf"},
        {"C:\\mixed/slashes\\last/name.v2.pdf", "name.v2.pdf"},
        {"\\\\server\\share\\scan.pdf", "scan.pdf"},
        {"plain.pdf", "plain.pdf"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.name, PathFileName(c.path)) << c.path;
    EXPECT_STREQ("", PathFileName(nullptr));
}

TEST(PdfPaths, SaveDialogOffersTheLastNameOrThePattern)
{
    struct Case {
        const char* lastPath;
        const char* offered;
    } cases[] = {
        {"", "*.pdf"},
        {"C:\\Users\\me\\album.pdf", "album.pdf"},
        {"C:\\Users\\me\\", "*.pdf"},
        {"D:", "*.pdf"},
        {"*.pdf", "*.pdf"},
        {"C:\\a\\report", "report"},
    };
    for (const Case& c : cases) {
        char out[260];
        memset(out, 0xcc, sizeof out);
        OfferedPdfName(c.lastPath, out, sizeof out);
        EXPECT_STREQ(c.offered, out) << c.lastPath;
    }
}

TEST(PdfPaths, OfferedNameIsCutToTheBuffer)
{
    char out[6];
    memset(out, 0xcc, sizeof out);
    OfferedPdfName("C:\\x\\abcdefgh.pdf", out, sizeof out);
    EXPECT_STREQ("abcde", out);
    OfferedPdfName(nullptr, out, sizeof out);
    EXPECT_STREQ("*.pdf", out);
}

TEST(PdfPaths, ChosenFolderIsThePathBeforeTheName)
{
    struct Case {
        const char* path;
        unsigned offset;
        bool ok;
        const char* folder;
    } cases[] = {
        {"C:\\Users\\me\\album.pdf", 12, true, "C:\\Users\\me"},
        {"Z:\\tmp\\a b\\x.pdf", 11, true, "Z:\\tmp\\a b"},
        {"C:\\album.pdf", 3, true, "C:\\"},  // the root keeps its backslash
        {"\\\\server\\share\\scan.pdf", 15, true, "\\\\server\\share"},
        {"C:\\Users\\me\\album.pdf", 0, false, "untouched"},   // no offset
        {"C:\\Users\\me\\album.pdf", 99, false, "untouched"},  // beyond the path
        {"C:\\Users\\me\\album.pdf", 13, false, "untouched"},  // not behind a separator
    };
    for (const Case& c : cases) {
        char out[260] = "untouched";
        EXPECT_EQ(c.ok, ChosenPdfFolder(c.path, c.offset, out, sizeof out)) << c.path;
        EXPECT_STREQ(c.folder, out) << c.path << " at " << c.offset;
    }
}

TEST(PdfPaths, ChosenFolderIsCutToTheBuffer)
{
    char out[5];
    memset(out, 0xcc, sizeof out);
    ASSERT_TRUE(ChosenPdfFolder("C:\\long\\folder\\x.pdf", 15, out, sizeof out));
    EXPECT_STREQ("C:\\l", out);
    EXPECT_FALSE(ChosenPdfFolder(nullptr, 3, out, sizeof out));
}
