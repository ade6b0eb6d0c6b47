// Picture encoders: JPEG through libjpeg (6b interface), TGA and BMP written by hand.
#include "assetgen.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

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

}  // namespace assetgen
