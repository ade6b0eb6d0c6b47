// TGA (Truevision Targa) decoding: colour-mapped, true-colour and grey pictures, raw or
// run-length encoded, rows taken bottom-up as stored.
#include <cstring>

#include "assets/asset_file.h"
#include "assets/image.h"
#include "platform/platform.h"

namespace ravelin {
namespace {

constexpr size_t kHeaderSize = 18;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads the picture's source bytes; bytes beyond the end of the file read as zero.
struct Source {
    const uint8_t* data;
    size_t size;
    size_t position;
    bool atEnd() const { return position >= size; }
    uint8_t byte() { return position < size ? data[position++] : (++position, 0); }
};

struct Converter {
    int sourceBytes;                    // 1, 2, 3 or 4 per stored pixel
    const uint8_t* colourMap = nullptr;  // B, G, R entries for colour-mapped pictures
    size_t colourMapEntries = 0;
    bool grey = false;

    // Converts one stored pixel into out (bytes per output pixel as the table gives).
    void convert(const uint8_t* in, uint8_t* out) const {
        if (colourMap) {
            // An index beyond the map gives black instead of reading past it.
            if (in[0] < colourMapEntries) std::memcpy(out, colourMap + in[0] * 3, 3);
            else out[0] = out[1] = out[2] = 0;
        } else if (grey) {
            out[0] = in[0];
        } else if (sourceBytes == 2) {
            uint16_t v = static_cast<uint16_t>(in[0] | in[1] << 8);
            out[0] = static_cast<uint8_t>((v & 31) * 8);
            out[1] = static_cast<uint8_t>(((v >> 5) & 31) * 8);
            out[2] = static_cast<uint8_t>(((v >> 10) & 31) * 8);
        } else if (sourceBytes == 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        } else {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
    }
};

}  // namespace

bool decodeTga(const uint8_t* data, size_t size, Image& image) {
    image.reset();
    if (!data || size < kHeaderSize) return false;
    const uint8_t idLength = data[0];
    const uint8_t colourMapType = data[1];
    const uint8_t type = data[2];
    const uint16_t colourMapLength = u16(data + 5);
    const uint8_t colourMapEntrySize = data[7];
    const size_t width = u16(data + 12);
    const size_t height = u16(data + 14);
    const uint8_t depth = data[16];

    const bool mapped = type == 1 || type == 9;
    const bool greyType = type == 3 || type == 11;
    const bool trueColour = type == 2 || type == 10;
    const bool runLength = type >= 9;
    if (!mapped && !greyType && !trueColour) return false;
    if (mapped && (colourMapType != 1 || colourMapEntrySize != 24)) return false;
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        platform().messageBox("Unsupported image depth.", "TGA", TextEncoding::Cp1251);
        return false;
    }
    if ((mapped || greyType) != (depth == 8)) return false;

    Source source{data, size, kHeaderSize + idLength};
    Converter converter;
    converter.sourceBytes = depth / 8;
    converter.grey = greyType;
    if (mapped) {
        // The map must be there in full: indices are looked up in it.
        size_t mapBytes = static_cast<size_t>(colourMapLength) * 3;
        if (source.position > size || size - source.position < mapBytes) return false;
        converter.colourMap = data + source.position;
        converter.colourMapEntries = colourMapLength;
        source.position += mapBytes;
    }
    const size_t outBytes = greyType ? 1 : depth == 32 ? 4 : 3;
    const size_t pixelCount = width * height;
    if (pixelCount == 0) return false;
    // Refuse a header that claims more picture than the file can describe: raw pixels need
    // their bytes, and a run-length packet of at least two bytes covers at most 128 pixels.
    const size_t available = source.position < size ? size - source.position : 0;
    if (!runLength && available / converter.sourceBytes < pixelCount) return false;
    if (runLength && available * 64 < pixelCount) return false;

    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bytesPerPixel = static_cast<int>(outBytes);
    image.rowLength = static_cast<int>(width * outBytes);
    image.pixels.assign(pixelCount * outBytes, 0);
    uint8_t* out = image.pixels.data();
    uint8_t pixel[4];
    auto fetch = [&] {
        for (int i = 0; i < converter.sourceBytes; ++i) pixel[i] = source.byte();
    };

    if (!runLength) {
        for (size_t i = 0; i < pixelCount; ++i, out += outBytes) {
            fetch();
            converter.convert(pixel, out);
        }
        return true;
    }
    // Packets: count = low 7 bits + 1; bit 7 = one value repeated, else count raw values. A
    // packet running past the picture is cut at its end; a file running out leaves the rest
    // of the picture black.
    size_t done = 0;
    while (done < pixelCount && !source.atEnd()) {
        uint8_t header = source.byte();
        size_t count = (header & 0x7Fu) + 1;
        if (count > pixelCount - done) count = pixelCount - done;
        if (header & 0x80) {
            fetch();
            for (size_t i = 0; i < count; ++i, out += outBytes) converter.convert(pixel, out);
        } else {
            for (size_t i = 0; i < count; ++i, out += outBytes) {
                fetch();
                converter.convert(pixel, out);
            }
        }
        done += count;
    }
    return true;
}

bool loadTga(std::string_view path, Image& image, bool fromResource, uint16_t resourceId) {
    image.reset();
    AssetFile file;
    if (fromResource ? !file.openResource(resourceId) : !file.openEntry(path)) return false;
    return decodeTga(file.data(), file.size(), image);
}

}  // namespace ravelin
