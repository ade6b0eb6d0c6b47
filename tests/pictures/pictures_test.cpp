// The generated flat pictures: formats and sizes the loaders expect, sprites that fade to black,
// a digit font whose cells really hold the right digits, and the loading-screen pieces.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assetgen.h"
#include "assets/image.h"
#include "jpeg_decode.h"

using namespace assetgen;

namespace {

using ravelin::testing::DecodedJpeg;

const std::vector<uint8_t>* findFile(const std::vector<AssetSink::File>& files, const std::string& name) {
    for (const auto& f : files)
        if (f.name == name) return &f.bytes;
    return nullptr;
}

class PicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sink = new AssetSink;
        generatePictures(*sink);
        // Keep a copy beside the test for people to look at.
        std::filesystem::create_directories("generated_pictures");
        auto dump = [](const AssetSink::File& f) {
            std::string name = f.name.substr(f.name.find_last_of('\\') + 1);
            std::ofstream("generated_pictures/" + name, std::ios::binary)
                .write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
        };
        for (const auto& f : sink->archiveFiles()) dump(f);
        for (const auto& f : sink->looseFiles()) dump(f);
    }
    static void TearDownTestSuite() {
        delete sink;
        sink = nullptr;
    }

    static DecodedJpeg jpeg(const std::string& name, bool archive) {
        const std::vector<uint8_t>* bytes = findFile(archive ? sink->archiveFiles() : sink->looseFiles(), name);
        DecodedJpeg d;
        EXPECT_NE(bytes, nullptr) << name;
        if (bytes) {
            EXPECT_TRUE(ravelin::testing::libjpegDecode(*bytes, d)) << name;
        }
        return d;
    }
    static const std::vector<uint8_t>& loose(const std::string& name) {
        static const std::vector<uint8_t> none;
        const std::vector<uint8_t>* bytes = findFile(sink->looseFiles(), name);
        EXPECT_NE(bytes, nullptr) << name;
        return bytes ? *bytes : none;
    }

    static AssetSink* sink;
};
AssetSink* PicturesTest::sink = nullptr;

int le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
int32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

double borderMean(const DecodedJpeg& d) {
    double sum = 0;
    int count = 0;
    for (int i = 0; i < d.width; ++i) {
        sum += d.at(i, 0) + d.at(i, d.height - 1);
        count += 2;
    }
    for (int i = 0; i < d.height; ++i) {
        sum += d.at(0, i) + d.at(d.width - 1, i);
        count += 2;
    }
    return sum / count;
}

}  // namespace

TEST_F(PicturesTest, EveryPictureIsMadeUnderItsName) {
    for (const char* name : {"textures\\sun.jpg", "textures\\tlens.jpg", "textures\\rlens.jpg", "textures\\c.jpg"}) {
        EXPECT_NE(findFile(sink->archiveFiles(), name), nullptr) << name;
    }
    for (const char* name : {"load.jpg", "4loader_rd.tga", "4loader_ld.tga", "4loader_lu.tga", "4loader_ru.tga",
                             "bitmap107.bmp", "bitmap112.bmp", "icon111.ico"}) {
        EXPECT_NE(findFile(sink->looseFiles(), name), nullptr) << name;
    }
}

TEST_F(PicturesTest, SameBytesEveryRun) {
    AssetSink again;
    generatePictures(again);
    ASSERT_EQ(again.archiveFiles().size(), sink->archiveFiles().size());
    for (size_t i = 0; i < again.archiveFiles().size(); ++i) EXPECT_EQ(again.archiveFiles()[i].bytes, sink->archiveFiles()[i].bytes);
    ASSERT_EQ(again.looseFiles().size(), sink->looseFiles().size());
    for (size_t i = 0; i < again.looseFiles().size(); ++i) EXPECT_EQ(again.looseFiles()[i].bytes, sink->looseFiles()[i].bytes);
}

TEST_F(PicturesTest, FlareSpritesAreBaselineColourJpegsFadingToBlack) {
    struct Expect {
        const char* name;
        int size;
    };
    for (Expect e : {Expect{"textures\\sun.jpg", 256}, Expect{"textures\\tlens.jpg", 128}, Expect{"textures\\rlens.jpg", 256}}) {
        DecodedJpeg d = jpeg(e.name, true);
        EXPECT_EQ(d.width, e.size) << e.name;
        EXPECT_EQ(d.height, e.size) << e.name;
        EXPECT_EQ(d.components, 3) << e.name;
        EXPECT_FALSE(d.progressive) << e.name;
        // Drawn additively: any light at the edge would show the sprite's square.
        EXPECT_LT(borderMean(d), 3.0) << e.name;
    }
    DecodedJpeg sun = jpeg("textures\\sun.jpg", true);
    EXPECT_GT(sun.at(128, 128), 245);
    EXPECT_GT(sun.at(128, 128), sun.at(128 + 40, 128));
    EXPECT_GT(sun.at(128 + 40, 128), sun.at(128 + 100, 128));
}

TEST_F(PicturesTest, LoadingTitleIsABaseline512By128CardCentredOnBlack) {
    DecodedJpeg d = jpeg("load.jpg", false);
    ASSERT_EQ(d.width, 512);
    ASSERT_EQ(d.height, 128);
    EXPECT_EQ(d.components, 3);
    EXPECT_FALSE(d.progressive);
    EXPECT_LT(borderMean(d), 3.0);
    int left = d.width, right = -1;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            if (d.at(x, y, 0) > 200 && d.at(x, y, 2) > 200) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, 0) << "no letters";
    EXPECT_NEAR((left + right) / 2.0, 256.0, 6.0);
    EXPECT_GT(right - left, 200);
}

TEST_F(PicturesTest, CornerPiecesAre32BitTargasWithAlpha) {
    const std::vector<uint8_t>& rd = loose("4loader_rd.tga");
    ASSERT_EQ(rd.size(), 18u + 256u * 128u * 4u);
    EXPECT_EQ(rd[2], 2);
    EXPECT_EQ(le16(rd, 12), 256);
    EXPECT_EQ(le16(rd, 14), 128);
    EXPECT_EQ(rd[16], 32);
    EXPECT_EQ(rd[17] & 0x0F, 8);
    // Stored bottom row first: pixel 0 is bottom-left, the last pixel top-right.
    auto alpha = [&](int x, int yFromBottom) { return rd[18 + (size_t(yFromBottom) * 256 + x) * 4 + 3]; };
    EXPECT_GT(alpha(255, 0), 150);  // the screen's corner
    EXPECT_EQ(alpha(0, 127), 0);    // the inner end fades out completely
    EXPECT_EQ(alpha(0, 64), 0);
    for (const char* name : {"4loader_ld.tga", "4loader_lu.tga", "4loader_ru.tga"}) {
        const std::vector<uint8_t>& one = loose(name);
        ASSERT_EQ(one.size(), 18u + 4u) << name;
        EXPECT_EQ(le16(one, 12), 1);
        EXPECT_EQ(le16(one, 14), 1);
        EXPECT_EQ(one[16], 32);
        EXPECT_EQ(one[18 + 3], 0) << name;
    }
}

TEST_F(PicturesTest, BitmapsAre24BitAtTheirSizesAndIconIsAnIco) {
    struct Expect {
        const char* name;
        int w, h;
    };
    for (Expect e : {Expect{"bitmap107.bmp", 280, 140}, Expect{"bitmap112.bmp", 155, 115}}) {
        const std::vector<uint8_t>& b = loose(e.name);
        ASSERT_GE(b.size(), 54u) << e.name;
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(le32(b, 18), e.w) << e.name;
        EXPECT_EQ(le32(b, 22), e.h) << e.name;
        EXPECT_EQ(le16(b, 28), 24) << e.name;
        size_t stride = (size_t(e.w) * 3 + 3) & ~size_t(3);
        EXPECT_EQ(b.size(), 54 + stride * e.h) << e.name;
    }
    const std::vector<uint8_t>& ico = loose("icon111.ico");
    ASSERT_GE(ico.size(), 22u + 40u);
    EXPECT_EQ(le16(ico, 0), 0);
    EXPECT_EQ(le16(ico, 2), 1);
    EXPECT_EQ(le16(ico, 4), 1);
    EXPECT_EQ(ico[6], 32);
    EXPECT_EQ(ico[7], 32);
    EXPECT_EQ(size_t(le32(ico, 14)) + 22, ico.size());
    EXPECT_EQ(le32(ico, 22 + 8), 64);  // colour and mask rows
}

// --- the digit font --------------------------------------------------------------------------

namespace {

constexpr int kInk = 128;

struct Cell {
    const DecodedJpeg* d;
    int cx, cy, size;
    bool ink(int x, int y) const { return d->at(cx + x, cy + y) > kInk; }
    int inkCount() const {
        int n = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) n += ink(x, y);
        return n;
    }
    // Ink extent of one row (left > right when the row is empty).
    void rowExtent(int y, int& left, int& right) const {
        left = size;
        right = -1;
        for (int x = 0; x < size; ++x)
            if (ink(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    }
    bool anyInk(int y0, int y1, int x0, int x1) const {
        for (int y = std::max(0, y0); y <= std::min(size - 1, y1); ++y)
            for (int x = std::max(0, x0); x <= std::min(size - 1, x1); ++x)
                if (ink(x, y)) return true;
        return false;
    }
};

}  // namespace

TEST_F(PicturesTest, DigitFontHoldsTheRightSevenSegmentDigitsInReadingOrder) {
    DecodedJpeg d = jpeg("textures\\c.jpg", true);
    ASSERT_EQ(d.width, d.height);
    ASSERT_EQ(d.width % 4, 0);
    EXPECT_FALSE(d.progressive);
    const int size = d.width / 4;
    auto cell = [&](int i) { return Cell{&d, i % 4 * size, i / 4 * size, size}; };

    // The rows of '8' where its three bars and its four uprights are.
    Cell eight = cell(8);
    int top = size, bottom = -1;
    for (int y = 0; y < size; ++y) {
        int l, r;
        eight.rowExtent(y, l, r);
        if (r >= 0) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_LT(top, bottom);
    const int height = bottom - top;
    const int rowA = top + height / 30, rowG = top + height / 2, rowD = bottom - height / 30;
    const int rowUpper = top + height / 4, rowLower = top + 3 * height / 4;

    // Segment presence of glyph `g`, read in the places where '8' has that segment.
    auto segments = [&](const Cell& g) {
        unsigned mask = 0;
        auto bar = [&](int row, unsigned bit) {
            int l, r;
            eight.rowExtent(row, l, r);
            int third = (r - l) / 3;
            if (g.anyInk(row - 2, row + 2, l + third, r - third)) mask |= bit;
        };
        auto sides = [&](int row, unsigned leftBit, unsigned rightBit) {
            int l, r;
            eight.rowExtent(row, l, r);
            int mid = (l + r) / 2;
            if (g.anyInk(row - 2, row + 2, l, mid - (r - l) / 4)) mask |= leftBit;
            if (g.anyInk(row - 2, row + 2, mid + (r - l) / 4, r)) mask |= rightBit;
        };
        bar(rowA, 1u << 0);
        sides(rowUpper, 1u << 5, 1u << 1);  // F, B
        bar(rowG, 1u << 6);
        sides(rowLower, 1u << 4, 1u << 2);  // E, C
        bar(rowD, 1u << 3);
        return mask;
    };
    const unsigned expected[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(segments(cell(i)), expected[i]) << "digit " << i;

    // The dash: a short middle bar only.
    Cell dash = cell(10);
    EXPECT_GT(dash.inkCount(), 0);
    EXPECT_FALSE(dash.anyInk(0, rowG - height / 8, 0, size - 1));
    EXPECT_FALSE(dash.anyInk(rowG + height / 8, size - 1, 0, size - 1));
    EXPECT_EQ(segments(dash), 1u << 6);

    // "am" and "pm": ink in the lower half only, except the descender of 'p'; they differ.
    for (int i : {11, 12}) {
        EXPECT_GT(cell(i).inkCount(), size * size / 50) << i;
        EXPECT_FALSE(cell(i).anyInk(0, rowUpper, 0, size - 1)) << i;
    }
    EXPECT_FALSE(cell(11).anyInk(bottom + 6, size - 1, 0, size - 1));  // 'a' sits on the baseline
    EXPECT_TRUE(cell(12).anyInk(bottom + 6, size - 1, 0, size - 1));   // 'p' goes below it

    // Nothing in the three unused cells.
    for (int i = 13; i < 16; ++i) EXPECT_EQ(cell(i).inkCount(), 0) << i;

    // Drawn 40 units wide with a 28-unit advance: on every row, the ink of a digit or dash must
    // end at least 3 units before the ink of any following glyph begins.
    for (int y = 0; y < size; ++y) {
        int digitRight = -1, nextLeft = size;
        for (int i = 0; i <= 12; ++i) {
            int l, r;
            cell(i).rowExtent(y, l, r);
            if (r < 0) continue;
            if (i <= 10) digitRight = std::max(digitRight, r);
            nextLeft = std::min(nextLeft, l);
        }
        if (digitRight < 0 || nextLeft >= size) continue;
        double rightUnits = (digitRight + 1) * 40.0 / size, leftUnits = 28.0 + nextLeft * 40.0 / size;
        EXPECT_LT(rightUnits + 3.0, leftUnits) << "row " << y;
    }
}

// --- through the screensaver's own decoders --------------------------------------------------

TEST_F(PicturesTest, TheOwnDecodersReadEveryPictureTheWayTheTexturesUseIt) {
    // The font's glyph i is sampled from s 0.25·(i mod 4) … +0.25 and t 1 − 0.25·(i div 4) − 0.25
    // … 1 − 0.25·(i div 4), with t = 0 at the first row in memory (the picture's bottom).
    const std::vector<uint8_t>* font = findFile(sink->archiveFiles(), "textures\\c.jpg");
    ASSERT_NE(font, nullptr);
    ravelin::Image image;
    ASSERT_TRUE(ravelin::decodeJpeg(font->data(), font->size(), image));
    ASSERT_EQ(image.bytesPerPixel, 3);
    auto inkInCell = [&](int i) {
        int x0 = int(0.25 * (i % 4) * image.width), x1 = int((0.25 * (i % 4) + 0.25) * image.width);
        int y0 = int((1 - 0.25 * (i / 4) - 0.25) * image.height), y1 = int((1 - 0.25 * (i / 4)) * image.height);
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) ink += image.pixels[size_t(y) * image.rowLength + size_t(x) * 3] > 128;
        return ink;
    };
    for (int i = 0; i <= 12; ++i) EXPECT_GT(inkInCell(i), 0) << i;
    for (int i = 13; i <= 15; ++i) EXPECT_EQ(inkInCell(i), 0) << i;
    EXPECT_GT(inkInCell(8), inkInCell(0));  // '8' has the middle bar '0' lacks
    EXPECT_GT(inkInCell(0), inkInCell(1));

    for (const char* name : {"textures\\sun.jpg", "textures\\tlens.jpg", "textures\\rlens.jpg"}) {
        const std::vector<uint8_t>* bytes = findFile(sink->archiveFiles(), name);
        ASSERT_NE(bytes, nullptr);
        ravelin::Image sprite;
        EXPECT_TRUE(ravelin::decodeJpeg(bytes->data(), bytes->size(), sprite)) << name;
        EXPECT_EQ(sprite.bytesPerPixel, 3) << name;
    }
    ravelin::Image title;
    ASSERT_TRUE(ravelin::decodeJpeg(loose("load.jpg").data(), loose("load.jpg").size(), title));
    EXPECT_EQ(title.width, 512);
    EXPECT_EQ(title.height, 128);

    // The corner piece: the first row in memory is the screen's bottom edge, its right end the
    // screen's corner, where the decoration is solid.
    ravelin::Image corner;
    ASSERT_TRUE(ravelin::decodeTga(loose("4loader_rd.tga").data(), loose("4loader_rd.tga").size(), corner));
    ASSERT_EQ(corner.bytesPerPixel, 4);
    ASSERT_EQ(corner.width, 256);
    ASSERT_EQ(corner.height, 128);
    EXPECT_GT(corner.pixels[size_t(255) * 4 + 3], 150);
    EXPECT_EQ(corner.pixels[size_t(127) * corner.rowLength + 3], 0);  // top-left: clear
    for (const char* name : {"4loader_ld.tga", "4loader_lu.tga", "4loader_ru.tga"}) {
        ravelin::Image one;
        ASSERT_TRUE(ravelin::decodeTga(loose(name).data(), loose(name).size(), one)) << name;
        EXPECT_EQ(one.pixels.size(), 4u) << name;
        EXPECT_EQ(one.pixels[3], 0) << name;
    }
}
