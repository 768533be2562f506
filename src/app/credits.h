// The libraries the program is built with, credited in the About box. Portable: the
// Win32 layer never includes the libraries' headers.
#pragma once
#include <string>

// The credits of the libraries this build contains, with the versions they report
// themselves, as lines (CR LF between them) of at most `width` characters.
std::string LibraryCredits(size_t width);

// The libraries linked into the program itself besides those three (the static Windows
// build carries its own zlib, libpng and libjpeg), or "" when they come with the system.
std::string BuiltInLibraryCredits();

// Breaks paragraphs (separated by "\n\n") into lines of at most `width` characters at
// spaces; a word longer than `width` gets a line of its own. Lines end in CR LF.
std::string WrapParagraphs(const std::string& text, size_t width);
