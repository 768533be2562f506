#include "picture/jpeg_library.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

#include <jerror.h>

namespace {

void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void SayNothing(j_common_ptr) {}

// Makes the vector `size` bytes long and hands libjpeg the part after the first `used`.
void HandOver(j_compress_ptr info, size_t used, size_t size)
{
    JpegVectorOutput* output = reinterpret_cast<JpegVectorOutput*>(info->dest);
    bool grown = true;
    try {
        output->out->reserve(size);  // no more than asked: a JPEG may be half the memory used
        output->out->resize(size);
    } catch (const std::exception&) {
        grown = false;  // never a throw through libjpeg's frames
    }
    if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    output->manager.next_output_byte = output->out->data() + used;
    output->manager.free_in_buffer = size - used;
}

// The room the caller reserved, at least 64 KB, is used first.
void StartOutput(j_compress_ptr info)
{
    const std::vector<uint8_t>& out = *reinterpret_cast<JpegVectorOutput*>(info->dest)->out;
    HandOver(info, 0, std::max<size_t>(out.capacity(), 65536));
}

boolean GrowOutput(j_compress_ptr info)
{
    const size_t used = reinterpret_cast<JpegVectorOutput*>(info->dest)->out->size();
    HandOver(info, used, used + used / 2);  // libjpeg hands a full buffer back
    return TRUE;
}

void EndOutput(j_compress_ptr info)
{
    JpegVectorOutput* output = reinterpret_cast<JpegVectorOutput*>(info->dest);
    output->out->resize(output->out->size() - output->manager.free_in_buffer);
}

}  // namespace

jpeg_error_mgr* UseJpegErrors(JpegErrors* errors)
{
    jpeg_std_error(&errors->manager);
    errors->manager.error_exit = JumpBack;
    errors->manager.output_message = SayNothing;
    return &errors->manager;
}

void WriteJpegTo(j_compress_ptr info, JpegVectorOutput* output, std::vector<uint8_t>* out)
{
    output->manager.init_destination = StartOutput;
    output->manager.empty_output_buffer = GrowOutput;
    output->manager.term_destination = EndOutput;
    output->out = out;
    info->dest = &output->manager;
}

void SaveKeptBlocks(j_decompress_ptr source)
{
    for (int app : {0, 2, 14}) jpeg_save_markers(source, JPEG_APP0 + app, 0xFFFF);
}

void WriteKeptBlocks(j_decompress_ptr source, j_compress_ptr destination)
{
    for (jpeg_saved_marker_ptr m = source->marker_list; m; m = m->next) {
        const char* kept = m->marker == JPEG_APP0 ? "JFIF" : m->marker == JPEG_APP0 + 2 ? "ICC_PROFILE" : "Adobe";
        if (m->data_length > strlen(kept) && memcmp(m->data, kept, strlen(kept)) == 0)
            jpeg_write_marker(destination, m->marker, m->data, m->data_length);
    }
}

void TakeParameters(j_decompress_ptr source, j_compress_ptr destination, bool transpose)
{
    jpeg_copy_critical_parameters(source, destination);
    destination->write_JFIF_header = FALSE;  // the source's own blocks are written instead
    destination->write_Adobe_marker = FALSE;
    if (!transpose) return;
    std::swap(destination->image_width, destination->image_height);
    for (int c = 0; c < destination->num_components; c++)
        std::swap(destination->comp_info[c].h_samp_factor, destination->comp_info[c].v_samp_factor);
    for (JQUANT_TBL* table : destination->quant_tbl_ptrs)
        for (int i = 0; table && i < DCTSIZE; i++)
            for (int j = 0; j < i; j++)
                std::swap(table->quantval[i * DCTSIZE + j], table->quantval[j * DCTSIZE + i]);
}
