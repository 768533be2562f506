// A decoded picture handed to the PDF document as a JPEG file made in memory. Portable.
#pragma once

struct FIBITMAP;

// Converts the picture to 24 bits when needed, encodes it as JPEG with FreeImage's
// default settings and adds it to the open PDF document. The picture is released here
// in every case, before the library copies the JPEG. Returns the library's image id
// (0 when the library refused the data), or -1 when no JPEG could be made.
int AddPictureAsJpeg(FIBITMAP* picture);
