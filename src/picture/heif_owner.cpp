#include "picture/heif_owner.h"

#include <libheif/heif.h>

void HeifContextFreer::operator()(heif_context* context) const { heif_context_free(context); }

void HeifHandleReleaser::operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }

void HeifImageReleaser::operator()(heif_image* image) const { heif_image_release(image); }
