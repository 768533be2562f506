// The product's own names, texts and limits, kept in one place.
#pragma once

extern const char ProductName[];        // "Tolvane"
extern const char ProductWebAddress[];  // the product's web site
extern const char ProductVersionText[]; // "Tolvane 2.0": the PDF's creator
extern const char CompanyName[];        // "Quorrel, Inc.": the PDF's producer

// The largest picture the program reads, in pixels (width x height): 120 megapixels,
// above every camera photo in common use (35 mm sensors stop near 61 MP, the 100-MP
// medium-format class is 11648 x 8736 = 101.8 MP), while a 24-bit copy (360 MB) or 32-bit
// copy (480 MB) plus one turned or converted copy still fits in the 2 GB address space of
// a 32-bit process. A header claiming more is refused unread: FreeImage would otherwise
// allocate whatever the header says (a 945-byte JPEG claiming 60000 x 60000 asks for
// 10 GB). A decoder's page picture claiming more is refused too.
constexpr unsigned long long MaxImagePixels = 120ull * 1000 * 1000;
