// JPEG decoding over libjpeg (6b interface) with an in-memory source and an error manager of
// our own: a fatal decoder error jumps back here and ends this picture's decoding only.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>

#include "assets/asset_file.h"
#include "assets/image.h"
#include "platform/platform.h"

namespace ravelin {
namespace {

// Bounds libjpeg's own working memory.
constexpr long kMaxDecoderMemory = 256l << 20;

struct ErrorManager {
    jpeg_error_mgr standard;  // first, so that the decoder's pointer is ours as well
    std::jmp_buf jump;
    int warnings;
};

// Messages are formatted the library's way and discarded: there is no log, no box.
void discardMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
}

[[noreturn]] void errorExit(j_common_ptr info) {
    discardMessage(info);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void emitMessage(j_common_ptr info, int level) {
    if (level < 0) {
        ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
        discardMessage(info);
    }
}

// The whole file is in memory: the source is pointed at it once and never refilled. A
// truncated file gets an end-of-image marker so that the decoder finishes what it has.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info) {
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = info->src;
    if (static_cast<size_t>(count) > src->bytes_in_buffer) {
        src->next_input_byte += src->bytes_in_buffer;
        src->bytes_in_buffer = 0;
        fillInput(info);
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

// Plain C-style state only: nothing with a destructor lives across setjmp/longjmp here.
// Returns 0: not decodable (no pixels), 1: decoded (possibly partly, rows left black).
int decodeInto(const uint8_t* data, size_t size, Image* image, size_t maxPixelBytes) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    jpeg_source_mgr source;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = errorExit;
    errors.standard.emit_message = emitMessage;
    errors.standard.output_message = discardMessage;
    errors.warnings = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return image->pixels.empty() ? 0 : 1;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    source.next_input_byte = data;
    source.bytes_in_buffer = size;
    source.init_source = initSource;
    source.fill_input_buffer = fillInput;
    source.skip_input_data = skipInput;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = termSource;
    info.src = &source;

    jpeg_read_header(&info, TRUE);
    // The size is known from the header: an oversized picture is refused before the decoder
    // sets up (a progressive one would read the whole file into full-size buffers first).
    jpeg_calc_output_dimensions(&info);
    const size_t width = info.output_width;
    const size_t height = info.output_height;
    const size_t components = static_cast<size_t>(info.output_components);
    const size_t rowLength = width * components;
    if (width == 0 || height == 0 || rowLength * height > maxPixelBytes) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_start_decompress(&info);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->bytesPerPixel = static_cast<int>(components);
    image->rowLength = static_cast<int>(rowLength);
    image->pixels.assign(rowLength * height, 0);
    // Scanline 0 is the top of the picture and goes to the last row in memory.
    JSAMPARRAY rows = static_cast<JSAMPARRAY>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, height * sizeof(JSAMPROW)));
    uint8_t* base = image->pixels.data();
    for (size_t y = 0; y < height; ++y) rows[y] = base + (height - 1 - y) * rowLength;
    while (info.output_scanline < info.output_height) {
        JDIMENSION line = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows + line, info.output_height - line) == 0) break;
    }
    jpeg_destroy_decompress(&info);
    return 1;
}

}  // namespace

bool decodeJpeg(const uint8_t* data, size_t size, Image& image, size_t maxPixelBytes) {
    image.reset();
    if (!data || size == 0) return false;
    if (decodeInto(data, size, &image, maxPixelBytes) == 0) {
        image.reset();
        return false;
    }
    return true;
}

bool loadJpeg(std::string_view path, Image& image, bool fromResource, uint16_t resourceId) {
    image.reset();
    AssetFile file;
    if (fromResource ? !file.openResource(resourceId) : !file.openEntry(path)) {
        if (!fromResource) {
            std::string text = "ARCH:Can't load JPG file: ";
            text.append(path);
            platform().messageBox(text, "Error", TextEncoding::Cp1251);
        }
        return false;
    }
    return decodeJpeg(file.data(), file.size(), image);
}

}  // namespace ravelin
