#include "picture/jpeg_decode.h"

#include <FreeImage.h>

#include "picture/jpeg_library.h"

namespace {

#if FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR
const J_COLOR_SPACE BitmapOrder = JCS_EXT_BGR;
#else
const J_COLOR_SPACE BitmapOrder = JCS_EXT_RGB;
#endif

bool Start(j_decompress_ptr info, JpegErrors* errors, const uint8_t* data, size_t size,
           unsigned reduction)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, (unsigned long)size);
    jpeg_read_header(info, TRUE);
    if (info->num_components != 3 ||
        (info->jpeg_color_space != JCS_YCbCr && info->jpeg_color_space != JCS_RGB))
        return false;
    info->scale_num = 1;
    info->scale_denom = reduction;
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
    info->out_color_space = BitmapOrder;
    jpeg_start_decompress(info);
    return true;
}

// Scan line 0 of a FreeImage bitmap is the bottom row.
bool ReadRows(j_decompress_ptr info, JpegErrors* errors, FIBITMAP* picture)
{
    if (setjmp(errors->jump)) return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = FreeImage_GetScanLine(picture, info->output_height - 1 - info->output_scanline);
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

BitmapOwner DecodeColourJpeg(const uint8_t* data, size_t size, unsigned reduction)
{
    JpegErrors errors;
    jpeg_decompress_struct info{};
    info.err = UseJpegErrors(&errors);
    const JpegObjectOwner owner{(j_common_ptr)&info};
    if (!Start(&info, &errors, data, size, reduction)) return nullptr;
    BitmapOwner picture(FreeImage_Allocate(info.output_width, info.output_height, 24));
    if (!picture || !ReadRows(&info, &errors, picture.get())) return nullptr;
    return picture;
}
