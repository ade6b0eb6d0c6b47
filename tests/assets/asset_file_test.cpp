#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

namespace {

// An AssetFile over a blob of the fake platform holding text.
struct TextFile {
    FakePlatform fake;
    AssetFile file;
    explicit TextFile(std::string_view text) {
        fake.addResource("CustomData", 200, text);
        EXPECT_TRUE(file.openResource(200));
    }
};

}  // namespace

TEST(AssetFileRead, CopiesAndAdvances) {
    TextFile t("\x01\x02\x03\x04\x05");
    uint16_t v = 0;
    t.file.read(&v, 2);
    EXPECT_EQ(v, 0x0201);
    EXPECT_EQ(t.file.position(), 2u);
    uint8_t rest[3];
    t.file.read(rest, 3);
    EXPECT_EQ(rest[2], 5);
    EXPECT_FALSE(t.file.pastEnd());  // exactly at the end is not past it
}

TEST(AssetFileRead, ReadBeyondEndCopiesOnlyWhatExistsAndSetsPastEnd) {
    TextFile t("abc");
    char out[8];
    std::memset(out, '#', sizeof out);
    t.file.seek(1, 0);
    t.file.read(out, 8);
    EXPECT_EQ(std::string(out, 8), "bc######");
    EXPECT_TRUE(t.file.pastEnd());
    std::memset(out, '#', sizeof out);
    t.file.read(out, 4);  // wholly beyond: nothing copied
    EXPECT_EQ(std::string(out, 4), "####");
    t.file.read(out, 0xFFFFFFFFu);  // the position saturates instead of wrapping to the start
    EXPECT_TRUE(t.file.pastEnd());
}

TEST(AssetFileSeek, ThreeOrigins) {
    TextFile t("0123456789");
    t.file.seek(4, 0);
    EXPECT_EQ(t.file.position(), 4u);
    t.file.seek(3, 1);
    EXPECT_EQ(t.file.position(), 7u);
    t.file.seek(-2, 1);
    EXPECT_EQ(t.file.position(), 5u);
    t.file.seek(2, 2);
    EXPECT_EQ(t.file.position(), 8u);
    char c;
    t.file.read(&c, 1);
    EXPECT_EQ(c, '8');
}

TEST(AssetFileSeek, WildOffsetsStayInsideOrPastTheEndNeverBefore) {
    TextFile t("0123456789");
    t.file.seek(-100, 1);
    EXPECT_EQ(t.file.position(), 0u);
    t.file.seek(-5, 2);  // beyond the end
    EXPECT_EQ(t.file.position(), 15u);
    char c = 'z';
    t.file.read(&c, 1);
    EXPECT_EQ(c, 'z');
    EXPECT_TRUE(t.file.pastEnd());
    t.file.seek(0, 0);
    EXPECT_FALSE(t.file.pastEnd());
}

TEST(AssetFileReadLine, LastLineWithoutLineFeed) {
    TextFile t("abc");
    char line[128];
    EXPECT_FALSE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "abc");
    EXPECT_TRUE(t.file.pastEnd());
}

TEST(AssetFileReadLine, LeadingSpacesAndCarriageReturnDropped) {
    TextFile t("  x\r\n\tkeep tab\n");
    char line[128];
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "x");
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "\tkeep tab");
    EXPECT_FALSE(t.file.pastEnd());
    EXPECT_FALSE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(t.file.pastEnd());
}

TEST(AssetFileReadLine, EmptyLinesAndInnerCarriageReturns) {
    TextFile t("\n\na\rb\n   \n");
    char line[16];
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "ab");
    EXPECT_TRUE(t.file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
}

TEST(AssetFileReadLine, LongLineIsCutAndItsRestSkipped) {
    std::string text(300, 'x');
    text += "\nnext\n";
    TextFile t(text);
    // Guard bytes around the buffer catch any write past its end.
    char area[8 + 128 + 8];
    std::memset(area, 'G', sizeof area);
    char* line = area + 8;
    EXPECT_TRUE(t.file.readLine(line, 128));
    EXPECT_EQ(std::string(line), std::string(127, 'x'));
    EXPECT_EQ(std::string(area, 8), "GGGGGGGG");
    EXPECT_EQ(std::string(area + 8 + 128, 8), "GGGGGGGG");
    EXPECT_TRUE(t.file.readLine(line, 128));
    EXPECT_STREQ(line, "next");
}

TEST(AssetFileReadLine, TinyBuffers) {
    TextFile t("abc\nd\n");
    char one[1] = {'Q'};
    EXPECT_TRUE(t.file.readLine(one, 1));
    EXPECT_EQ(one[0], 0);
    char two[2];
    EXPECT_TRUE(t.file.readLine(two, 2));
    EXPECT_STREQ(two, "d");
}

TEST(AssetFileReadLine, ClosedFileGivesEmptyLineAndFalse) {
    FakePlatform fake;
    AssetFile file;
    char line[8] = "junk";
    EXPECT_FALSE(file.readLine(line, sizeof line));
    EXPECT_STREQ(line, "");
}
