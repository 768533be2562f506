// libheif's file contexts, picture handles and decoded pictures, held like FreeImage's
// bitmaps (picture/bitmap_owner.h): given back on every way out of a function, a throw
// included. No libheif header here.
#pragma once
#include <memory>

struct heif_context;
struct heif_image_handle;
struct heif_image;

struct HeifContextFreer {
    void operator()(heif_context* context) const;  // heif_context_free
};
struct HeifHandleReleaser {
    void operator()(heif_image_handle* handle) const;  // heif_image_handle_release
};
struct HeifImageReleaser {
    void operator()(heif_image* image) const;  // heif_image_release
};

typedef std::unique_ptr<heif_context, HeifContextFreer> HeifContextOwner;
typedef std::unique_ptr<heif_image_handle, HeifHandleReleaser> HeifHandleOwner;
typedef std::unique_ptr<heif_image, HeifImageReleaser> HeifImageOwner;
