// The lossless turn: libjpeg reads the blocks' coefficients, they are moved into arrays of
// the turned shape (row by row, as libjpeg wants its arrays written), and libjpeg codes
// them again.
#include "picture/jpeg_turn.h"

#include "picture/jpeg_library.h"

namespace {

unsigned RoundUp(unsigned n, unsigned multiple) { return (n + multiple - 1) / multiple * multiple; }

// Reads the coefficients into *source, with arrays of the turned shape asked for beside
// them (libjpeg makes every array when it reads).
bool Read(j_decompress_ptr info, JpegErrors* errors, const uint8_t* jpeg, size_t size,
          bool transpose, jvirt_barray_ptr** source, jvirt_barray_ptr* turned)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, jpeg, (unsigned long)size);
    SaveKeptBlocks(info);
    jpeg_read_header(info, TRUE);
    for (int c = 0; c < info->num_components; c++) {
        const jpeg_component_info& from = info->comp_info[c];
        const unsigned across = transpose ? from.height_in_blocks : from.width_in_blocks;
        const unsigned down = transpose ? from.width_in_blocks : from.height_in_blocks;
        const int h = transpose ? from.v_samp_factor : from.h_samp_factor;
        const int v = transpose ? from.h_samp_factor : from.v_samp_factor;
        turned[c] = info->mem->request_virt_barray((j_common_ptr)info, JPOOL_IMAGE, FALSE,
                                                   RoundUp(across, h), RoundUp(down, v), v);
    }
    *source = jpeg_read_coefficients(info);
    return true;
}

// Fills the turned arrays, a row of blocks at a time from the top, each block from the
// source block the turn brings there, its coefficients transposed and every odd
// frequency along a mirrored direction negated.
void Move(j_decompress_ptr from, j_compress_ptr to, const PictureTurn& turn,
          jvirt_barray_ptr* source, jvirt_barray_ptr* turned)
{
    short sign[DCTSIZE2];
    for (int i = 0; i < DCTSIZE; i++)
        for (int j = 0; j < DCTSIZE; j++)
            sign[i * DCTSIZE + j] = (turn.mirrorAcross && j % 2) != (turn.mirrorDown && i % 2) ? -1 : 1;
    for (int c = 0; c < to->num_components; c++) {
        const jpeg_component_info& part = to->comp_info[c];
        const unsigned across = part.width_in_blocks, down = part.height_in_blocks;
        // The rows past the picture, up to a whole MCU, are never coded but must be written.
        for (unsigned y = 0; y < RoundUp(down, part.v_samp_factor); y++) {
            JBLOCKROW row = from->mem->access_virt_barray((j_common_ptr)from, turned[c], y, 1, TRUE)[0];
            if (y >= down) continue;
            const unsigned b = turn.mirrorDown ? down - 1 - y : y;
            for (unsigned x = 0; x < across; x++) {
                const unsigned a = turn.mirrorAcross ? across - 1 - x : x;
                const unsigned sx = turn.transpose ? b : a, sy = turn.transpose ? a : b;
                const JCOEF* in = from->mem->access_virt_barray((j_common_ptr)from, source[c], sy, 1, FALSE)[0][sx];
                JCOEF* out = row[x];
                for (int i = 0; i < DCTSIZE2; i++) {
                    const int k = turn.transpose ? (i % DCTSIZE) * DCTSIZE + i / DCTSIZE : i;
                    out[i] = (JCOEF)(sign[i] * in[k]);
                }
            }
        }
    }
}

bool Write(j_decompress_ptr from, j_compress_ptr to, JpegErrors* errors, const PictureTurn& turn,
           jvirt_barray_ptr* source, jvirt_barray_ptr* turned, JpegVectorOutput* output,
           std::vector<uint8_t>* out)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_compress(to);
    WriteJpegTo(to, output, out);
    TakeParameters(from, to, turn.transpose);
    to->optimize_coding = TRUE;
    jpeg_write_coefficients(to, turned);
    WriteKeptBlocks(from, to);
    Move(from, to, turn, source, turned);
    jpeg_finish_compress(to);
    jpeg_finish_decompress(from);
    return true;
}

}  // namespace

bool TurnIsLossless(const JpegFrame& frame, const PictureTurn& turn)
{
    const unsigned across = turn.transpose ? frame.height : frame.width;
    const unsigned down = turn.transpose ? frame.width : frame.height;
    const unsigned mcuAcross = 8 * (turn.transpose ? frame.maxVSampling : frame.maxHSampling);
    const unsigned mcuDown = 8 * (turn.transpose ? frame.maxHSampling : frame.maxVSampling);
    return (!turn.mirrorAcross || across % mcuAcross == 0) && (!turn.mirrorDown || down % mcuDown == 0);
}

bool TurnJpegLosslessly(const uint8_t* jpeg, size_t size, const PictureTurn& turn,
                        std::vector<uint8_t>* out)
{
    JpegRecoding r;
    jvirt_barray_ptr* source = nullptr;
    jvirt_barray_ptr turned[MAX_COMPONENTS] = {};
    out->clear();
    out->reserve(size);  // the coding fitted to the picture: rarely larger
    if (Read(&r.from, &r.errors, jpeg, size, turn.transpose, &source, turned) &&
        Write(&r.from, &r.to, &r.errors, turn, source, turned, &r.output, out))
        return true;
    out->clear();
    return false;
}
