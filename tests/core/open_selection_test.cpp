// Reading the names chosen in a multi-select open dialog from its result buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "import/open_selection.h"

namespace {

// A result buffer as the dialog leaves it: the given bytes, then poison up to the size.
std::vector<char> Buffer(const std::string& bytes, size_t size = 16260)
{
    std::vector<char> buffer(size, 'x');
    memcpy(buffer.data(), bytes.data(), bytes.size());
    return buffer;
}

std::vector<std::string> Names(const OpenSelection& s)
{
    return std::vector<std::string>(s.names.begin(), s.names.end());
}

OpenSelection Poisoned()
{
    OpenSelection s;
    memset(s.directory, 'p', sizeof s.directory);
    s.directory[sizeof s.directory - 1] = 0;
    return s;
}

}  // namespace

TEST(OpenSelection, OneFileGivesItsFolderWithoutBackslash)
{
    // One file: the full path, then whatever the buffer held (poison here, not a name).
    std::vector<char> buffer = Buffer(std::string("C:\\Pictures\\a.jpg\0", 18));
    OpenSelection s = Poisoned();
    ASSERT_TRUE(ReadOpenSelection(buffer.data(), buffer.size(), 12, &s));
    EXPECT_STREQ("C:\\Pictures", s.directory);
    EXPECT_EQ(std::vector<std::string>{"a.jpg"}, Names(s));
}

TEST(OpenSelection, SeveralFilesInTheDialogsOrder)
{
    std::vector<char> buffer =
        Buffer(std::string("C:\\Pictures\0b.png\0a.jpg\0c.gif\0\0", 32));
    OpenSelection s = Poisoned();
    ASSERT_TRUE(ReadOpenSelection(buffer.data(), buffer.size(), 12, &s));
    EXPECT_STREQ("C:\\Pictures", s.directory);
    EXPECT_EQ((std::vector<std::string>{"b.png", "a.jpg", "c.gif"}), Names(s));
}

TEST(OpenSelection, RootFolderKeepsItsBackslash)
{
    std::vector<char> several = Buffer(std::string("C:\\\0a.jpg\0b.jpg\0\0", 17));
    OpenSelection s = Poisoned();
    ASSERT_TRUE(ReadOpenSelection(several.data(), several.size(), 4, &s));
    EXPECT_STREQ("C:\\", s.directory);
    EXPECT_EQ((std::vector<std::string>{"a.jpg", "b.jpg"}), Names(s));

    // One file in the root: the folder is the root, not the drive's current folder.
    std::vector<char> one = Buffer(std::string("C:\\a.jpg\0", 9));
    ASSERT_TRUE(ReadOpenSelection(one.data(), one.size(), 3, &s));
    EXPECT_STREQ("C:\\", s.directory);
    EXPECT_EQ(std::vector<std::string>{"a.jpg"}, Names(s));
}

TEST(OpenSelection, RefusedOffsetsChangeNothing)
{
    // A UTF-8 folder of up to MaxPathBytes - 2 bytes: an offset of MaxPathBytes is refused.
    std::string longFolder(MaxPathBytes - 1, 'd');
    struct Case {
        std::string bytes;
        size_t offset, size;
    } cases[] = {
        {std::string("C:\\a.jpg\0", 9), 0, 16260},            // no offset
        {longFolder + std::string("\0a.jpg\0\0", 8), MaxPathBytes, 16260},  // folder too long
        {std::string("C:\\a\0\0", 6), 5, 6},                  // offset at the buffer's end
        {std::string("C:\\a\0\0", 6), 4, 16260},              // an empty first name
        {std::string("C:\\a\0bbbb", 9), 4, 9},                // a name without terminator
    };
    for (const Case& c : cases) {
        std::vector<char> buffer = Buffer(c.bytes, std::max(c.size, c.bytes.size()));
        OpenSelection s = Poisoned();
        EXPECT_FALSE(ReadOpenSelection(buffer.data(), c.size, c.offset, &s)) << c.offset;
        EXPECT_EQ(MaxPathBytes - 1u, strlen(s.directory)) << "directory untouched, " << c.offset;
        EXPECT_TRUE(s.names.empty());
    }
    OpenSelection s = Poisoned();
    EXPECT_FALSE(ReadOpenSelection(nullptr, 100, 3, &s));
}

TEST(OpenSelection, LongestAcceptedFolder)
{
    std::string folder(MaxPathBytes - 2, 'd');  // offset MaxPathBytes - 1, the largest accepted
    std::vector<char> buffer = Buffer(folder + std::string("\0a.jpg\0\0", 8));
    OpenSelection s = Poisoned();
    ASSERT_TRUE(ReadOpenSelection(buffer.data(), buffer.size(), MaxPathBytes - 1, &s));
    EXPECT_EQ(folder, s.directory);
    EXPECT_EQ(std::vector<std::string>{"a.jpg"}, Names(s));
}

TEST(OpenSelection, NamesStopAtTheBuffersEnd)
{
    // The last name runs into the end of the buffer without its terminator: left out.
    std::string bytes("D:\\x\0a.png\0b.png\0c.pn", 21);
    std::vector<char> buffer(bytes.begin(), bytes.end());
    OpenSelection s = Poisoned();
    ASSERT_TRUE(ReadOpenSelection(buffer.data(), buffer.size(), 5, &s));
    EXPECT_EQ((std::vector<std::string>{"a.png", "b.png"}), Names(s));
}

TEST(OpenSelection, JoinPathAddsOneBackslashAndCuts)
{
    char out[260];
    struct Case {
        const char* directory;
        const char* name;
        const char* expected;
    } cases[] = {
        {"C:\\Pictures", "a.jpg", "C:\\Pictures\\a.jpg"},
        {"C:\\", "a.jpg", "C:\\a.jpg"},
        {"C:", "a.jpg", "C:\\a.jpg"},
    };
    for (const Case& c : cases) {
        memset(out, 0xcc, sizeof out);
        JoinPath(c.directory, c.name, out, sizeof out);
        EXPECT_STREQ(c.expected, out);
    }
    std::string folder(250, 'f'), name(30, 'n');
    memset(out, 0xcc, sizeof out);
    JoinPath(folder.c_str(), name.c_str(), out, sizeof out);
    EXPECT_EQ(259u, strlen(out));
    EXPECT_EQ(folder + "\\" + name.substr(0, 8), out);
}
