#include "picture/jpeg_library.h"

namespace {

void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void SayNothing(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* UseJpegErrors(JpegErrors* errors)
{
    jpeg_std_error(&errors->manager);
    errors->manager.error_exit = JumpBack;
    errors->manager.output_message = SayNothing;
    return &errors->manager;
}
