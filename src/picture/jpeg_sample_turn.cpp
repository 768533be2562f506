// The turn through samples: libjpeg decodes the picture into planes of its components as
// stored (no colour conversion, no chroma upsampling), and codes the turned planes again
// a row of MCUs at a time, with the source's quantization tables, sampling and colour
// space. The planes live in the decompressor's memory pool until it is destroyed.
#include "picture/jpeg_turn.h"

#include <algorithm>

#include "picture/jpeg_library.h"

namespace {

unsigned RoundUp(unsigned n, unsigned multiple) { return (n + multiple - 1) / multiple * multiple; }

bool Read(j_decompress_ptr info, JpegErrors* errors, const uint8_t* jpeg, size_t size,
          JSAMPARRAY* planes)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, jpeg, (unsigned long)size);
    SaveKeptBlocks(info);
    jpeg_read_header(info, TRUE);
    info->raw_data_out = TRUE;
    info->dct_method = JDCT_ISLOW;
    jpeg_start_decompress(info);
    const unsigned rows = info->max_v_samp_factor * DCTSIZE;  // a row of MCUs
    for (int c = 0; c < info->num_components; c++) {
        const jpeg_component_info& part = info->comp_info[c];
        planes[c] = info->mem->alloc_sarray((j_common_ptr)info, JPOOL_PERMANENT,  // past finishing
                                            RoundUp(part.width_in_blocks, part.h_samp_factor) * DCTSIZE,
                                            info->total_iMCU_rows * part.v_samp_factor * DCTSIZE);
    }
    for (unsigned mcuRow = 0; mcuRow < info->total_iMCU_rows; mcuRow++) {
        JSAMPARRAY at[MAX_COMPONENTS];
        for (int c = 0; c < info->num_components; c++)
            at[c] = planes[c] + mcuRow * info->comp_info[c].v_samp_factor * DCTSIZE;
        jpeg_read_raw_data(info, at, rows);
    }
    jpeg_finish_decompress(info);
    return true;
}

// Fills a component's rows of one row of MCUs of the turned picture from the source
// plane, repeating the last column and row past the picture's edge as an encoder pads.
// Transposed, each source row gives its few bytes to every row of the strip at once.
void Gather(const jpeg_component_info& part, const PictureTurn& turn, JSAMPARRAY plane,
            unsigned firstRow, JSAMPARRAY strip)
{
    const unsigned width = part.downsampled_width, height = part.downsampled_height;
    const unsigned stripWidth = part.width_in_blocks * DCTSIZE;
    const int rows = part.v_samp_factor * DCTSIZE;
    unsigned from[MAX_SAMP_FACTOR * DCTSIZE];  // for each strip row, where it comes from
    for (int r = 0; r < rows; r++) {
        const unsigned y = std::min(firstRow + r, height - 1);
        from[r] = turn.mirrorDown ? height - 1 - y : y;
    }
    for (unsigned x = 0; x < stripWidth; x++) {
        const unsigned xc = std::min(x, width - 1);
        const unsigned a = turn.mirrorAcross ? width - 1 - xc : xc;
        if (turn.transpose) {
            const JSAMPROW in = plane[a];
            for (int r = 0; r < rows; r++) strip[r][x] = in[from[r]];
        } else {
            for (int r = 0; r < rows; r++) strip[r][x] = plane[from[r]][a];
        }
    }
}

bool Write(j_decompress_ptr from, j_compress_ptr to, JpegErrors* errors, const PictureTurn& turn,
           JSAMPARRAY* planes, JpegVectorOutput* output, std::vector<uint8_t>* out)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_compress(to);
    WriteJpegTo(to, output, out);
    TakeParameters(from, to, turn.transpose);
    // Steps half the source's: quantized again off its block grid, the picture loses a
    // quarter of what the source's own steps would take.
    for (JQUANT_TBL* table : to->quant_tbl_ptrs)
        for (int i = 0; table && i < DCTSIZE2; i++)
            table->quantval[i] = (UINT16)std::max(1, (table->quantval[i] + 1) / 2);
    to->raw_data_in = TRUE;
    to->dct_method = JDCT_ISLOW;
    to->optimize_coding = FALSE;  // that would keep every coefficient of the picture
    jpeg_start_compress(to, TRUE);
    WriteKeptBlocks(from, to);
    JSAMPARRAY strips[MAX_COMPONENTS];
    for (int c = 0; c < to->num_components; c++)
        strips[c] = to->mem->alloc_sarray((j_common_ptr)to, JPOOL_IMAGE,
                                          to->comp_info[c].width_in_blocks * DCTSIZE,
                                          to->comp_info[c].v_samp_factor * DCTSIZE);
    const unsigned rows = to->max_v_samp_factor * DCTSIZE;
    for (unsigned first = 0; first < to->image_height; first += rows) {
        for (int c = 0; c < to->num_components; c++) {
            const jpeg_component_info& part = to->comp_info[c];
            Gather(part, turn, planes[c], first / rows * part.v_samp_factor * DCTSIZE, strips[c]);
        }
        jpeg_write_raw_data(to, strips, rows);
    }
    jpeg_finish_compress(to);
    return true;
}

}  // namespace

bool TurnJpegSamples(const uint8_t* jpeg, size_t size, const PictureTurn& turn,
                     std::vector<uint8_t>* out)
{
    JpegRecoding r;
    JSAMPARRAY planes[MAX_COMPONENTS] = {};
    out->clear();
    out->reserve(size * 2);  // steps half as fine: about twice the size
    if (Read(&r.from, &r.errors, jpeg, size, planes) &&
        Write(&r.from, &r.to, &r.errors, turn, planes, &r.output, out))
        return true;
    out->clear();
    return false;
}
