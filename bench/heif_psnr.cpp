// heif_psnr PICTURE REFERENCE: how closely the program's decode of a HEIF or AVIF file
// (as the decoder process makes it: 8-bit colour, alpha over white) matches another
// decoder's, REFERENCE being e.g. heif-convert's PNG (8 or 16 bits, alpha over white too).
// Prints "PSNR <dB>", "PSNR identical", or the reason it could not compare (exit 1).
// bench/heif-check.sh runs it over the benchmark's HEIF photos.
#include <FreeImage.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "picture/bitmap_owner.h"
#include "support/support.h"

namespace {

// Any FreeImage picture as 24-bit colour, transparent parts over white.
BitmapOwner OnWhite(BitmapOwner picture)
{
    if (!picture) return nullptr;
    if (FreeImage_GetImageType(picture.get()) == FIT_RGBA16 || FreeImage_GetBPP(picture.get()) == 32) {
        picture = BitmapOwner(FreeImage_ConvertTo32Bits(picture.get()));
        RGBQUAD white = {255, 255, 255, 0};
        if (picture) picture = BitmapOwner(FreeImage_Composite(picture.get(), FALSE, &white));
    }
    return picture ? BitmapOwner(FreeImage_ConvertTo24Bits(picture.get())) : nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: heif_psnr PICTURE REFERENCE\n");
        return 2;
    }
    FreeImage_Initialise();
    std::ifstream in(argv[1], std::ios::binary);
    const ByteVec bytes((std::istreambuf_iterator<char>(in)), {});
    const BitmapOwner ours = OnWhite(LoadUpright(bytes, argv[1]));
    const BitmapOwner theirs = OnWhite(BitmapOwner(FreeImage_Load(FreeImage_GetFileType(argv[2]), argv[2])));
    if (!ours || !theirs) {
        printf("%s could not be read\n", ours ? argv[2] : argv[1]);
        return 1;
    }
    const unsigned w = FreeImage_GetWidth(ours.get()), h = FreeImage_GetHeight(ours.get());
    if (w != FreeImage_GetWidth(theirs.get()) || h != FreeImage_GetHeight(theirs.get())) {
        printf("sizes differ: %ux%u against %ux%u\n", w, h, FreeImage_GetWidth(theirs.get()),
               FreeImage_GetHeight(theirs.get()));
        return 1;
    }
    double squares = 0;
    for (unsigned y = 0; y < h; y++) {
        const BYTE* a = FreeImage_GetScanLine(ours.get(), y);
        const BYTE* b = FreeImage_GetScanLine(theirs.get(), y);
        for (unsigned x = 0; x < w * 3; x++) squares += (double)(a[x] - b[x]) * (a[x] - b[x]);
    }
    if (squares == 0) printf("PSNR identical\n");
    else printf("PSNR %.1f\n", 10 * std::log10(255.0 * 255.0 * w * h * 3 / squares));
    return 0;
}
