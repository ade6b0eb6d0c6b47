#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/fake_platform.h"
#include "platform/platform.h"

namespace ravelin {
ByteRange testBlobsFindResource(std::string_view type, uint16_t id);
}

using namespace ravelin;

TEST(EmbeddedResources, FoundByTypeAndIdWithTypeCaseFolded) {
    ByteRange a = testBlobsFindResource("CustomData", 116);
    ASSERT_EQ(a.size, 3u);
    EXPECT_EQ(std::memcmp(a.data, "abc", 3), 0);
    ByteRange again = testBlobsFindResource("customdata", 116);
    EXPECT_EQ(again.data, a.data);  // the same bytes every time, never a copy
    EXPECT_EQ(testBlobsFindResource("AUDIO", 128).size, 3u);
}

TEST(EmbeddedResources, MissingIdOrTypeGivesEmptyRange) {
    EXPECT_TRUE(testBlobsFindResource("CustomData", 117).empty());
    EXPECT_EQ(testBlobsFindResource("CustomData", 117).data, nullptr);
    EXPECT_TRUE(testBlobsFindResource("AUDIO", 116).empty());
}

TEST(TextConversion, Cp1251CyrillicAndPunctuationBecomeUtf8) {
    // "Не" in Windows-1251 is CD E5; 0x96 is an en dash; 0xA8 is Ё.
    EXPECT_EQ(cp1251ToUtf8("\xCD\xE5"), "\xD0\x9D\xD0\xB5");
    EXPECT_EQ(cp1251ToUtf8("a\x96z"), "a\xE2\x80\x93z");
    EXPECT_EQ(cp1251ToUtf8("\xA8"), "\xD0\x81");
    EXPECT_EQ(toUtf8("\xD0\x9D", TextEncoding::Utf8), "\xD0\x9D");
}

TEST(FakePlatform, InstallsItselfCapturesMessagesAndUninstalls) {
    {
        FakePlatform fake;
        EXPECT_EQ(&platform(), &fake);
        platform().messageBox("\xCD\xE5", "TGA", TextEncoding::Cp1251);
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text, "\xD0\x9D\xD0\xB5");
        EXPECT_EQ(fake.messages[0].caption, "TGA");
        fake.addResource("CustomData", 5, std::string_view("xy"));
        EXPECT_EQ(platform().findResource("CUSTOMDATA", 5).size, 2u);
    }
    // With nothing installed every call is harmless.
    EXPECT_TRUE(platform().findResource("CustomData", 5).empty());
    DisplayMode mode;
    EXPECT_FALSE(platform().currentDisplayMode(mode));
}
