// The libraries the program is built with: starting them, and crediting them in the
// About box. Portable: the Win32 layer never includes the libraries' headers.
#pragma once
#include <string>

// FreeImage's format plugins are registered by its DLL and its Linux shared library when
// they load, but by a static FreeImage (the Windows build) only when asked. The calls
// are counted by FreeImage, so asking with the shared library too is harmless.
void StartLibraries();
void StopLibraries();

// The credits of the libraries this build contains, with the versions they report
// themselves, as lines (CR LF between them) of at most `width` characters.
std::string LibraryCredits(size_t width);

// The libraries linked into the program itself besides those three (the static Windows
// build carries its own zlib, libpng and libjpeg), or "" when they come with the system.
std::string BuiltInLibraryCredits();

// Breaks paragraphs (separated by "\n\n") into lines of at most `width` characters at
// spaces; a word longer than `width` gets a line of its own. Lines end in CR LF.
std::string WrapParagraphs(const std::string& text, size_t width);
