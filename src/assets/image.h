// Decoded pictures, rows bottom-up (the first row in memory is the picture's bottom row), and
// the two decoders. Pixels are owned by the Image (freed by reset or the destructor).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ravelin {

struct Image {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    int rowLength = 0;  // width * bytesPerPixel
    std::vector<uint8_t> pixels;
    bool valid() const { return !pixels.empty(); }
    void reset() { *this = Image{}; }
};

// path: full archive path ("textures\sun.jpg"); with fromResource the blob "CustomData"/id is
// decoded instead. Messages go through the platform seam.
bool loadJpeg(std::string_view path, Image& image, bool fromResource, uint16_t resourceId);
bool loadTga(std::string_view path, Image& image, bool fromResource, uint16_t resourceId);

// Bigger JPEG pictures than this are refused rather than allocated (textures are 2048 x 2048
// at most).
constexpr size_t kMaxJpegPixelBytes = size_t{128} << 20;

// The same decoders over bytes already in memory (used by the two above, tools and fuzzers).
// maxPixelBytes lowers the JPEG size limit (the fuzzer keeps each picture small).
bool decodeJpeg(const uint8_t* data, size_t size, Image& image, size_t maxPixelBytes = kMaxJpegPixelBytes);
bool decodeTga(const uint8_t* data, size_t size, Image& image);

}  // namespace ravelin
