#include "picture/heif_picture.h"

#include <libheif/heif.h>

#include <vector>

namespace {

// The same shape: the sides of one are those of the other scaled, to within a pixel.
bool SameShape(uint64_t w1, uint64_t h1, uint64_t w2, uint64_t h2)
{
    const uint64_t a = w1 * h2, b = w2 * h1;
    return (a > b ? a - b : b - a) <= w2 + h2;
}

}  // namespace

bool IsHeif(const uint8_t* data, size_t size)
{
    if (!data || size < 12) return false;
    const heif_filetype_result type = heif_check_filetype(data, size > 64 ? 64 : (int)size);
    return type == heif_filetype_yes_supported || type == heif_filetype_yes_unsupported;
}

bool HeifPicture::Open(const uint8_t* data, size_t size)
{
    context_.reset(heif_context_alloc());
    if (!context_ || size > INT32_MAX) return false;
    // Tiles are decoded one after another in this thread: a decoder process runs one.
    heif_context_set_max_decoding_threads(context_.get(), 0);
    heif_image_handle* primary = nullptr;
    if (heif_context_read_from_memory_without_copy(context_.get(), data, size, nullptr).code != heif_error_Ok ||
        heif_context_get_primary_image_handle(context_.get(), &primary).code != heif_error_Ok)
        return false;
    primary_.reset(primary);
    const int width = heif_image_handle_get_width(primary), height = heif_image_handle_get_height(primary);
    if (width <= 0 || height <= 0) return false;
    width_ = (unsigned)width, height_ = (unsigned)height;
    return true;
}

HeifHandleOwner HeifPicture::ThumbnailOfAtLeast(unsigned minWidth, unsigned minHeight) const
{
    HeifHandleOwner best;
    const int count = heif_image_handle_get_number_of_thumbnails(primary_.get());
    if ((minWidth == 0 && minHeight == 0) || count <= 0) return best;
    std::vector<heif_item_id> ids((size_t)count);
    heif_image_handle_get_list_of_thumbnail_IDs(primary_.get(), ids.data(), count);
    for (heif_item_id id : ids) {
        heif_image_handle* found = nullptr;
        if (heif_image_handle_get_thumbnail(primary_.get(), id, &found).code != heif_error_Ok) continue;
        HeifHandleOwner thumbnail(found);
        const int w = heif_image_handle_get_width(found), h = heif_image_handle_get_height(found);
        if (w < (int)minWidth || h < (int)minHeight || w <= 0 || h <= 0 || !SameShape(w, h, width_, height_) ||
            (best && w >= heif_image_handle_get_width(best.get())))
            continue;
        best = std::move(thumbnail);
    }
    return best;
}

bool HeifPicture::Decode(unsigned minWidth, unsigned minHeight, HeifPixels* out)
{
    if (!primary_) return false;
    const HeifHandleOwner thumbnail = ThumbnailOfAtLeast(minWidth, minHeight);
    const heif_image_handle* handle = thumbnail ? thumbnail.get() : primary_.get();
    out->channels = heif_image_handle_has_alpha_channel(handle) ? 4 : 3;
    heif_image* image = nullptr;
    const heif_error decoded =
        heif_decode_image(handle, &image, heif_colorspace_RGB,
                          out->channels == 4 ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          nullptr);
    out->image.reset(image);
    if (decoded.code != heif_error_Ok || !image ||
        heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8)
        return false;
    int stride = 0;
    out->rows = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (!out->rows || width <= 0 || height <= 0 || stride < width * (int)out->channels) return false;
    out->width = (unsigned)width, out->height = (unsigned)height, out->stride = (size_t)stride;
    return true;
}
