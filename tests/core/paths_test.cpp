// The open dialog's result buffer is read within its bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "import/open_selection.h"

TEST(Paths, OpenSelectionIsReadWithinTheBuffer)
{
    std::string longFolder(MaxPathBytes - 1, 'd'), longest(MaxPathBytes - 2, 'd');  // UTF-8 bytes
    struct Case {
        std::string bytes;
        size_t offset, size;  // size 0: the bytes and poison up to 16260
        const char* folder;   // null: refused, nothing changed
        std::vector<std::string> names;
    } cases[] = {
        {std::string("C:\\Pictures\\a.jpg\0", 18), 12, 0, "C:\\Pictures", {"a.jpg"}},
        {std::string("C:\\P\0b.png\0a.jpg\0\0", 19), 5, 0, "C:\\P", {"b.png", "a.jpg"}},
        {std::string("C:\\\0a.jpg\0b.jpg\0\0", 17), 4, 0, "C:\\", {"a.jpg", "b.jpg"}},
        {std::string("C:\\a.jpg\0", 9), 3, 0, "C:\\", {"a.jpg"}},  // a root keeps its backslash
        {std::string("D:\\x\0a.png\0b.pn", 15), 5, 15, "D:\\x", {"a.png"}},  // cut last name
        {longest + std::string("\0a.jpg\0\0", 8), MaxPathBytes - 1, 0, longest.c_str(), {"a.jpg"}},
        {std::string("C:\\a.jpg\0", 9), 0, 0, nullptr, {}},
        {longFolder + std::string("\0a.jpg\0\0", 8), MaxPathBytes, 0, nullptr, {}},  // too long
        {std::string("C:\\a\0\0", 6), 5, 6, nullptr, {}},     // offset at the buffer's end
        {std::string("C:\\a\0\0", 6), 4, 0, nullptr, {}},     // an empty first name
        {std::string("C:\\a\0bbbb", 9), 4, 9, nullptr, {}},   // no terminator inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        std::vector<char> buffer(std::max<size_t>(16260, c.bytes.size()), 'x');
        memcpy(buffer.data(), c.bytes.data(), c.bytes.size());
        OpenSelection s;
        strcpy(s.directory, "untouched");
        bool read = ReadOpenSelection(buffer.data(), c.size ? c.size : buffer.size(), c.offset, &s);
        EXPECT_EQ(c.folder != nullptr, read);
        EXPECT_STREQ(c.folder ? c.folder : "untouched", s.directory);
        EXPECT_EQ(c.names, std::vector<std::string>(s.names.begin(), s.names.end()));
    }
}

// A joined path fits whole or is refused: never cut inside a character ("\xC3\xA9" is é).
TEST(Paths, JoinedPathsFitWholeOrNotAtAll)
{
    const struct { const char *folder, *name; size_t size; const char* path; } cases[] = {
        {"C:\\P", "a.jpg", 11, "C:\\P\\a.jpg"}, {"C:\\", "a.jpg", 9, "C:\\a.jpg"},
        {"C:\\P", "a.jpg", 10, nullptr}, {"C:\\P", "\xC3\xA9.jpg", 7, nullptr}};
    for (const auto& c : cases) {
        char out[16];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(c.path != nullptr, JoinPath(c.folder, c.name, out, c.size)) << c.size;
        EXPECT_STREQ(c.path ? c.path : "", out) << c.size;
    }
}
