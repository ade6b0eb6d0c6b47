// The encoders: JPEG through libjpeg (6b interface), TGA and BMP written by hand, Ogg Vorbis
// through libvorbisenc.
#include "assetgen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vorbis/vorbisenc.h>

namespace assetgen {

std::vector<uint8_t> encodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality,
                                bool progressive) {
    if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * size_t(height) * 3) {
        std::fprintf(stderr, "assetgen: encodeJpeg given %dx%d with %zu bytes\n", width, height, rgb.size());
        std::abort();
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(cinfo.next_scanline) * size_t(width) * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

static void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
static void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

std::vector<uint8_t> encodeTga32(const std::vector<uint8_t>& rgba, int width, int height) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        rgba.size() < size_t(width) * size_t(height) * 4) {
        std::fprintf(stderr, "assetgen: encodeTga32 given %dx%d with %zu bytes\n", width, height, rgba.size());
        std::abort();
    }
    std::vector<uint8_t> b;
    b.reserve(18 + size_t(width) * size_t(height) * 4);
    b.push_back(0);  // no image ID
    b.push_back(0);  // no colour map
    b.push_back(2);  // uncompressed true colour
    put16(b, 0);
    put16(b, 0);
    b.push_back(0);
    put16(b, 0);
    put16(b, 0);
    put16(b, uint32_t(width));
    put16(b, uint32_t(height));
    b.push_back(32);
    b.push_back(0x08);  // bottom-left origin, 8 alpha bits
    // Stored bottom row first (bottom-left origin), B G R A.
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = &rgba[size_t(y) * size_t(width) * 4];
        for (int x = 0; x < width; ++x) {
            b.push_back(row[x * 4 + 2]);
            b.push_back(row[x * 4 + 1]);
            b.push_back(row[x * 4 + 0]);
            b.push_back(row[x * 4 + 3]);
        }
    }
    return b;
}

std::vector<uint8_t> encodeBmp24(const std::vector<uint8_t>& rgb, int width, int height) {
    if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * size_t(height) * 3) {
        std::fprintf(stderr, "assetgen: encodeBmp24 given %dx%d with %zu bytes\n", width, height, rgb.size());
        std::abort();
    }
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(height);
    std::vector<uint8_t> b;
    b.reserve(54 + imageSize);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + imageSize);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);  // BITMAPINFOHEADER
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));  // positive: bottom-up rows
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = &rgb[size_t(y) * size_t(width) * 3];
        for (int x = 0; x < width; ++x) {
            b.push_back(row[x * 3 + 2]);
            b.push_back(row[x * 3 + 1]);
            b.push_back(row[x * 3 + 0]);
        }
        for (uint32_t p = uint32_t(width) * 3; p < stride; ++p) b.push_back(0);
    }
    return b;
}

std::vector<uint8_t> encodeVorbis(const std::vector<float>* channels, int channelCount, int rate, float quality) {
    std::vector<uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channelCount, rate, quality) != 0) {
        vorbis_info_clear(&vi);
        return out;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "ravelin assetgen");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x52617631);  // fixed serial: same input, same bytes
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    auto append = [&](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    while (ogg_stream_flush(&os, &page)) append(page);

    const size_t frames = channels[0].size();
    size_t done = 0;
    bool eos = false;
    while (!eos) {
        size_t chunk = std::min<size_t>(8192, frames - done);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, int(chunk));
            for (int c = 0; c < channelCount; ++c)
                std::copy(channels[c].begin() + long(done), channels[c].begin() + long(done + chunk), buffer[c]);
            vorbis_analysis_wrote(&vd, int(chunk));
            done += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    append(page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

}  // namespace assetgen
