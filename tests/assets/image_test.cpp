#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "assets/image.h"
#include "platform/fake/fake_platform.h"
#include "rar_builder.h"

using namespace ravelin;
using namespace ravelin::testing;

namespace {

// Encodes an RGB picture (rows top-down) with libjpeg; progressive on request.
std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& rgb, bool progressive = false,
                                int components = 3) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb.data()) + info.next_scanline * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

// 32 x 16: top half red, bottom half blue.
std::vector<uint8_t> redOverBlue(int width = 32, int height = 16) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width * height * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[static_cast<size_t>((y * width + x) * 3)];
            if (y < height / 2) p[0] = 255;
            else p[2] = 255;
        }
    return rgb;
}

void expectNear(const uint8_t* p, int r, int g, int b) {
    EXPECT_NEAR(p[0], r, 12);
    EXPECT_NEAR(p[1], g, 12);
    EXPECT_NEAR(p[2], b, 12);
}

std::vector<uint8_t> tgaHeader(uint8_t type, uint8_t depth, uint16_t width, uint16_t height, uint8_t idLength = 0,
                               uint8_t mapType = 0, uint16_t mapLength = 0, uint8_t mapEntry = 0) {
    return {idLength, mapType, type, 0, 0, static_cast<uint8_t>(mapLength), static_cast<uint8_t>(mapLength >> 8),
            mapEntry, 0, 0, 0, 0, static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
            static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8), depth, 0x08};
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool tga(const std::vector<uint8_t>& bytes, Image& image) { return decodeTga(bytes.data(), bytes.size(), image); }

}  // namespace

TEST(Jpeg, RowsComeBottomUp) {
    auto jpeg = encodeJpeg(32, 16, redOverBlue());
    Image image;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.width, 32);
    EXPECT_EQ(image.height, 16);
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.rowLength, 96);
    ASSERT_EQ(image.pixels.size(), 32u * 16u * 3u);
    expectNear(&image.pixels[0], 0, 0, 255);                 // first row in memory: bottom, blue
    expectNear(&image.pixels[15 * 96 + 5 * 3], 255, 0, 0);  // last row: top, red
}

TEST(Jpeg, ProgressiveDecodesToo) {
    auto jpeg = encodeJpeg(40, 24, redOverBlue(40, 24), true);
    Image image;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.width, 40);
    expectNear(&image.pixels[0], 0, 0, 255);
}

TEST(Jpeg, ExifSegmentWithThumbnailStillGivesFullPicture) {
    auto full = encodeJpeg(64, 32, redOverBlue(64, 32));
    auto thumb = encodeJpeg(8, 4, redOverBlue(8, 4));
    // APP1 "Exif\0\0" with a minimal TIFF header followed by the thumbnail's bytes.
    std::vector<uint8_t> payload = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    payload.insert(payload.end(), thumb.begin(), thumb.end());
    size_t length = payload.size() + 2;
    std::vector<uint8_t> app1 = {0xFF, 0xE1, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
    app1.insert(app1.end(), payload.begin(), payload.end());
    std::vector<uint8_t> jpeg(full.begin(), full.begin() + 2);
    jpeg.insert(jpeg.end(), app1.begin(), app1.end());
    jpeg.insert(jpeg.end(), full.begin() + 2, full.end());
    Image image;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.height, 32);
}

TEST(Jpeg, GreyFileKeepsOneComponent) {
    std::vector<uint8_t> grey(16 * 8, 200);
    auto jpeg = encodeJpeg(16, 8, grey, false, 1);
    Image image;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_NEAR(image.pixels[0], 200, 3);
}

TEST(Jpeg, TruncatedFileDecodesSilentlyWithItsFullSize) {
    FakePlatform fake;
    auto jpeg = encodeJpeg(64, 64, redOverBlue(64, 64));
    size_t scan = 2;  // the start-of-scan marker: entropy-coded data follows its segment
    while (scan + 4 <= jpeg.size() && !(jpeg[scan] == 0xFF && jpeg[scan + 1] == 0xDA)) ++scan;
    for (size_t keep : {scan + (jpeg.size() - scan) / 2, jpeg.size() - 3, scan + 40}) {
        std::vector<uint8_t> part(jpeg.begin(), jpeg.begin() + static_cast<long>(keep));
        Image image;
        EXPECT_TRUE(decodeJpeg(part.data(), part.size(), image)) << keep;
        EXPECT_EQ(image.width, 64);
        EXPECT_EQ(image.pixels.size(), 64u * 64u * 3u);
        // The top of the picture was decoded before the data ran out.
        expectNear(&image.pixels[63 * 192], 255, 0, 0);
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST(Jpeg, FatalErrorEndsOnlyThisPicture) {
    FakePlatform fake;
    auto jpeg = encodeJpeg(16, 16, redOverBlue(16, 16));
    // Remove the quantisation tables: the decoder stops with a fatal error before any pixel.
    std::vector<uint8_t> noTables(jpeg.begin(), jpeg.begin() + 2);
    size_t p = 2;
    while (p + 4 <= jpeg.size() && jpeg[p] == 0xFF && jpeg[p + 1] != 0xDA) {
        size_t length = static_cast<size_t>(jpeg[p + 2] << 8 | jpeg[p + 3]);
        if (jpeg[p + 1] != 0xDB) noTables.insert(noTables.end(), jpeg.begin() + p, jpeg.begin() + p + 2 + length);
        p += 2 + length;
    }
    noTables.insert(noTables.end(), jpeg.begin() + static_cast<long>(p), jpeg.end());
    Image image;
    EXPECT_FALSE(decodeJpeg(noTables.data(), noTables.size(), image));
    EXPECT_FALSE(image.valid());
    const uint8_t garbage[] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(decodeJpeg(garbage, sizeof garbage, image));
    EXPECT_FALSE(decodeJpeg(nullptr, 0, image));
    // And the next picture decodes normally.
    EXPECT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image));
    EXPECT_TRUE(fake.messages.empty());
}

TEST(Jpeg, PictureOverTheSizeLimitIsRefusedFromItsHeader) {
    auto jpeg = encodeJpeg(40, 24, redOverBlue(40, 24), true);
    Image image;
    EXPECT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), image, 40 * 24 * 3));
    EXPECT_FALSE(decodeJpeg(jpeg.data(), jpeg.size(), image, 40 * 24 * 3 - 1));
    EXPECT_FALSE(image.valid());
}

TEST(JpegLoad, MissingEntryShowsTheMessageMissingBlobDoesNot) {
    FakePlatform fake;
    auto jpeg = encodeJpeg(8, 8, redOverBlue(8, 8));
    fake.addResource("CustomData", 119, RarBuilder().add(storedEntry("textures\\sun.jpg", jpeg)).end().bytes());
    fake.addResource("CustomData", 127, jpeg);
    Image image;
    EXPECT_TRUE(loadJpeg("textures\\sun.jpg", image, false, 0));
    EXPECT_EQ(image.width, 8);
    EXPECT_TRUE(loadJpeg("", image, true, 127));
    EXPECT_TRUE(fake.messages.empty());

    EXPECT_FALSE(loadJpeg("textures\\moon.jpg", image, false, 0));
    EXPECT_FALSE(image.valid());
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "ARCH:Can't load JPG file: textures\\moon.jpg");
    EXPECT_EQ(fake.messages[0].caption, "Error");

    EXPECT_FALSE(loadJpeg("", image, true, 126));
    EXPECT_EQ(fake.messages.size(), 1u);
}

TEST(Tga, Raw32IsReorderedToRgba) {
    Image image;
    ASSERT_TRUE(tga(tgaHeader(2, 32, 1, 1) + std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40}, image));
    EXPECT_EQ(image.bytesPerPixel, 4);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0x40}));
}

TEST(Tga, Raw24KeepsStoredOrderAndRowsStayAsStored) {
    Image image;
    ASSERT_TRUE(tga(tgaHeader(2, 24, 1, 2) + std::vector<uint8_t>{1, 2, 3, 4, 5, 6}, image));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.rowLength, 3);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(Tga, Raw16ExpandsFiveBitChannels) {
    // v = 0x7FFF & ((31 << 10) | (1 << 5) | 2) with bit 15 set: dropped.
    uint16_t v = static_cast<uint16_t>(0x8000 | 31 << 10 | 1 << 5 | 2);
    Image image;
    ASSERT_TRUE(tga(tgaHeader(2, 16, 1, 1) + std::vector<uint8_t>{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)},
                    image));
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{16, 8, 248}));
}

TEST(Tga, GreyRawAndRunLength) {
    Image image;
    ASSERT_TRUE(tga(tgaHeader(3, 8, 2, 1) + std::vector<uint8_t>{9, 8}, image));
    EXPECT_EQ(image.bytesPerPixel, 1);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{9, 8}));
    ASSERT_TRUE(tga(tgaHeader(11, 8, 4, 1) + std::vector<uint8_t>{0x83, 7}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{7, 7, 7, 7}));
}

TEST(Tga, ColourMappedRawAndRunLengthWithImageId) {
    std::vector<uint8_t> map = {1, 2, 3, 4, 5, 6};  // two B, G, R entries
    Image image;
    ASSERT_TRUE(tga(tgaHeader(1, 8, 3, 1, 2, 1, 2, 24) + std::vector<uint8_t>{0xAA, 0xBB} + map +
                        std::vector<uint8_t>{1, 0, 7},
                    image));
    EXPECT_EQ(image.bytesPerPixel, 3);
    // Index 7 lies beyond the map: black instead of a read past it.
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3, 0, 0, 0}));
    ASSERT_TRUE(tga(tgaHeader(9, 8, 3, 1, 0, 1, 2, 24) + map + std::vector<uint8_t>{0x01, 1, 0}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3, 0, 0, 0}));
}

TEST(Tga, RunLengthTrueColourMixedPackets) {
    Image image;
    // 32-bit: a run of 2, then 1 raw pixel.
    ASSERT_TRUE(tga(tgaHeader(10, 32, 3, 1) + std::vector<uint8_t>{0x81, 1, 2, 3, 4, 0x00, 5, 6, 7, 8}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 2, 1, 4, 3, 2, 1, 4, 7, 6, 5, 8}));
    ASSERT_TRUE(tga(tgaHeader(10, 24, 2, 1) + std::vector<uint8_t>{0x01, 1, 2, 3, 4, 5, 6}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    uint16_t v = 31;  // blue only
    ASSERT_TRUE(tga(tgaHeader(10, 16, 2, 1) + std::vector<uint8_t>{0x81, static_cast<uint8_t>(v), 0}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{248, 0, 0, 248, 0, 0}));
}

TEST(Tga, RunPastThePictureIsCut) {
    Image image;
    // A run of 128 into a 2 x 1 picture, followed by more packets.
    ASSERT_TRUE(tga(tgaHeader(11, 8, 2, 1) + std::vector<uint8_t>{0xFF, 5, 0x7F, 1, 2, 3}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{5, 5}));
    // Raw packet longer than what is left.
    ASSERT_TRUE(tga(tgaHeader(11, 8, 3, 1) + std::vector<uint8_t>{0x00, 1, 0x7F, 2, 3, 4, 5}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Tga, RunLengthDataRunningOutLeavesBlack) {
    Image image;
    ASSERT_TRUE(tga(tgaHeader(11, 8, 4, 1) + std::vector<uint8_t>{0x81, 9}, image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{9, 9, 0, 0}));
}

TEST(Tga, UnsupportedDepthShowsTheMessage) {
    FakePlatform fake;
    Image image;
    EXPECT_FALSE(tga(tgaHeader(2, 15, 1, 1) + std::vector<uint8_t>{0, 0}, image));
    EXPECT_FALSE(image.valid());
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "Unsupported image depth.");
    EXPECT_EQ(fake.messages[0].caption, "TGA");
}

TEST(Tga, RejectedWithoutMessage) {
    FakePlatform fake;
    Image image;
    EXPECT_FALSE(tga(tgaHeader(4, 32, 1, 1) + std::vector<uint8_t>{1, 2, 3, 4}, image));        // type
    EXPECT_FALSE(tga(tgaHeader(1, 8, 1, 1, 0, 0, 1, 24) + std::vector<uint8_t>{1, 2, 3, 0}, image));  // map type
    EXPECT_FALSE(tga(tgaHeader(1, 8, 1, 1, 0, 1, 1, 32) + std::vector<uint8_t>{1, 2, 3, 4, 0}, image));  // entry
    EXPECT_FALSE(tga(tgaHeader(2, 8, 1, 1) + std::vector<uint8_t>{1}, image));   // true colour, 8 bits
    EXPECT_FALSE(tga(tgaHeader(3, 24, 1, 1) + std::vector<uint8_t>{1, 2, 3}, image));  // grey, 24 bits
    EXPECT_FALSE(tga(tgaHeader(2, 32, 2, 2) + std::vector<uint8_t>{1, 2, 3, 4}, image));  // raw data missing
    EXPECT_FALSE(tga(tgaHeader(2, 32, 0, 5), image));                             // empty picture
    EXPECT_FALSE(tga(std::vector<uint8_t>(17, 2), image));                       // short header
    EXPECT_FALSE(tga(tgaHeader(9, 8, 100, 1, 0, 1, 200, 24), image));            // map cut short
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(image.valid());
}

TEST(TgaLoad, FromArchiveAndFromBlob) {
    FakePlatform fake;
    auto one = tgaHeader(2, 32, 1, 1) + std::vector<uint8_t>{10, 20, 30, 40};
    fake.addResource("CustomData", 121, one);
    fake.addResource("CustomData", 119, RarBuilder().add(storedEntry("textures\\a.tga", one)).end().bytes());
    Image image;
    ASSERT_TRUE(loadTga("", image, true, 121));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{30, 20, 10, 40}));
    ASSERT_TRUE(loadTga("textures\\a.tga", image, false, 0));
    EXPECT_EQ(image.width, 1);
    EXPECT_FALSE(loadTga("textures\\b.tga", image, false, 0));
    EXPECT_FALSE(loadTga("", image, true, 122));
    EXPECT_TRUE(fake.messages.empty());
}
