// The UI text table: UTF-8 decoding (byte-order marks anywhere, bad bytes), line reading,
// key-line matching, the about lines and the embedded file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/fake/fake_platform.h"
#include "settings/ui_text.h"

using namespace ravelin;

namespace {

ByteRange bytesOf(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

std::u16string decodeAll(const std::string& bytes) {
    std::u16string out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint8_t* end = p + bytes.size();
    while (p < end) {
        const uint8_t* before = p;
        char16_t unit = 0;
        if (decodeUiTextUnit(p, end, unit)) out += unit;
        EXPECT_GT(p, before);  // always advances
        EXPECT_LE(p, end);
    }
    return out;
}

class UiTextTest : public ::testing::Test {
protected:
    FakePlatform fake;
    UiTextTable table;
    std::string source;
    void load(const std::string& text) {
        source = text;
        table.load(bytesOf(source));
    }
};

}  // namespace

TEST(UiTextDecode, OneTwoAndThreeByteSequences) {
    // 'A', 'é' (C3 A9), 'Ж' (D0 96), '€' (E2 82 AC), 'ﬀ' (EF AC 80).
    EXPECT_EQ(decodeAll("A\xC3\xA9\xD0\x96\xE2\x82\xAC\xEF\xAC\x80"), u"A\u00E9\u0416\u20AC\uFB00");
}

TEST(UiTextDecode, ByteOrderMarkIsDroppedAnywhere) {
    EXPECT_EQ(decodeAll("\xEF\xBB\xBF" "ab\xEF\xBB\xBF" "c\xEF\xBB\xBF"), u"abc");
    // Two marks in a row, and a mark split by the end of the data is not a mark.
    EXPECT_EQ(decodeAll("\xEF\xBB\xBF\xEF\xBB\xBF" "x"), u"x");
    EXPECT_EQ(decodeAll("x\xEF\xBB"), u"x\uFFFD\uFFFD");
}

TEST(UiTextDecode, FollowingBytesAreMaskedNotChecked) {
    // C3 41: the second byte is not 10xxxxxx, its top bits are masked: (3 << 6) | 1.
    EXPECT_EQ(decodeAll("\xC3\x41"), std::u16string(1, char16_t(0xC1)));
    // E0 FF FF: (0 << 12) | (0x3F << 6) | 0x3F.
    EXPECT_EQ(decodeAll("\xE0\xFF\xFF"), std::u16string(1, char16_t(0x0FFF)));
}

TEST(UiTextDecode, UnknownBytesAlwaysAdvance) {
    // A stray continuation byte, bytes F8..FF and a four-byte sequence (U+1F600).
    EXPECT_EQ(decodeAll("\x80" "a\xBF"), u"\uFFFDa\uFFFD");
    EXPECT_EQ(decodeAll("\xF8\xFC\xFE\xFF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(decodeAll("\xF0\x9F\x98\x80z"), u"\uFFFDz");
    // Sequences cut off by the end of the data.
    EXPECT_EQ(decodeAll("a\xE2\x82"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(decodeAll("\xC3"), u"\uFFFD");
    EXPECT_EQ(decodeAll("\xF0\x9F\x98"), u"\uFFFD\uFFFD\uFFFD");
}

TEST_F(UiTextTest, LinesSplitAtLfWithCrAndNulDropped) {
    static const char kText[] = "\xEF\xBB\xBF---- Heading\r\n\r\na\0b\rc\nlast";
    load(std::string(kText, sizeof kText - 1));
    ASSERT_EQ(table.lineCount(), 4u);
    EXPECT_EQ(table.line(0), u"---- Heading");  // the mark at the start is gone
    EXPECT_EQ(table.line(1), u"");
    EXPECT_EQ(table.line(2), u"abc");
    EXPECT_EQ(table.line(3), u"last");
}

TEST_F(UiTextTest, TrailingLineEndMakesNoExtraLine) {
    load("a\r\nb\r\n");
    EXPECT_EQ(table.lineCount(), 2u);
}

TEST_F(UiTextTest, KeyLinesFoldInnerLettersOnly) {
    load("#Show_FPS#\r\nShow FPS\r\n#ABC\r\nx\r\n#A\r\n#\r\nPlain TEXT\r\n");
    EXPECT_EQ(table.line(0), u"#show_fps#");
    EXPECT_EQ(table.line(2), u"#abC");  // no closing mark: the last letter keeps its case
    EXPECT_EQ(table.line(4), u"#A");
    EXPECT_EQ(table.line(5), u"#");
    EXPECT_EQ(table.line(6), u"Plain TEXT");
}

TEST_F(UiTextTest, LookupIgnoresCaseOfKeyAndFileAndAcceptsAnyClosingMark) {
    load("#Show_FPS#\r\nShow FPS\r\n#OK#\r\nOK\r\n#Cancel#\r\nCancel\r\n#about!\r\nAbout\r\n");
    EXPECT_EQ(table.uiText(u"show_fps"), u"Show FPS");
    EXPECT_EQ(table.uiText(u"SHOW_FPS"), u"Show FPS");
    EXPECT_EQ(table.uiText(u"OK"), u"OK");
    EXPECT_EQ(table.uiText(u"Cancel"), u"Cancel");
    EXPECT_EQ(table.uiText(u"about"), u"About");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(UiTextTest, KeyLineAnswersOnlyKeysOneOrTwoUnitsShorter) {
    load("#show_fps#\r\nShow FPS\r\n");
    EXPECT_EQ(table.uiText(u"show_fp"), u"");  // three shorter than the line
    EXPECT_EQ(table.uiText(u"show_f"), u"");
    EXPECT_EQ(fake.messages.size(), 2u);
    // One unit shorter than the line: the key line "#show_fps" without closing mark.
    load("#show_fps\r\nNo mark\r\n");
    EXPECT_EQ(table.uiText(u"show_fps"), u"No mark");
    EXPECT_EQ(table.uiText(u"show_fp"), u"No mark");  // the 's' serves as the closing mark
}

TEST_F(UiTextTest, KeyLongerThanTheLineIsAMismatchNotAnOverread) {
    load("#ab\r\nshort\r\n#\r\nbare\r\n#abcdef#\r\nlong\r\n");
    EXPECT_EQ(table.uiText(u"abc"), u"");
    EXPECT_EQ(table.uiText(u"abcd"), u"");
    EXPECT_EQ(table.uiText(u"abcdef"), u"long");
    EXPECT_EQ(fake.messages.size(), 2u);
}

TEST_F(UiTextTest, FirstMatchWinsAndKeyAtTheEndIsNeverFound) {
    load("#a#\r\nfirst\r\n#A#\r\nsecond\r\n#z#");
    EXPECT_EQ(table.uiText(u"a"), u"first");
    EXPECT_EQ(table.uiText(u"z"), u"");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "z");
    EXPECT_EQ(fake.messages[0].caption, "");
}

TEST_F(UiTextTest, EmptyLineAfterKeyIsAnEmptyText) {
    load("#empty#\r\n\r\n#next#\r\nN\r\n");
    EXPECT_EQ(table.uiText(u"empty"), u"");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(UiTextTest, MissingTextMessageShowsLowerCasedKey) {
    load("");
    EXPECT_EQ(table.uiText(u"Screensaver_CONFIGURATION"), u"");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "screensaver_configuration");
}

TEST_F(UiTextTest, NonAsciiTextAndHeadingsDecode) {
    load("\xEF\xBB\xBF---- \xD0\x9E\xD0\xBA\xD0\xBD\xD0\xBE ----\r\n#k#\r\n\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x82\xAC\r\n");
    EXPECT_EQ(table.line(0), u"---- \u041E\u043A\u043D\u043E ----");
    EXPECT_EQ(table.uiText(u"k"), u"\u041F\u0440\u0438 \u20AC");
}

TEST_F(UiTextTest, TableStopsAtItsCapacity) {
    std::string text;
    for (int i = 0; i < 250; ++i) text += "#k" + std::to_string(i) + "#\r\n";
    load(text);
    EXPECT_EQ(table.lineCount(), UiTextTable::kCapacity);
    EXPECT_EQ(table.uiText(u"k198"), u"#k199#");
    EXPECT_EQ(table.uiText(u"k199"), u"");  // the last stored line is never a key line
}

TEST(AboutLines, CutAtPercentSigns) {
    AboutLines l = cutAboutText(u"X%%Y%Z");
    EXPECT_EQ(l[0], u"X");
    EXPECT_EQ(l[1], u"");
    EXPECT_EQ(l[2], u"Y");
    EXPECT_EQ(l[3], u"Z");
    EXPECT_EQ(l[4], u"");
    EXPECT_EQ(l[6], u"");
}

TEST(AboutLines, NoPercentFillsLineOneOnly) {
    AboutLines l = cutAboutText(u"Only one");
    EXPECT_EQ(l[0], u"Only one");
    for (size_t i = 1; i < kAboutLineCount; ++i) EXPECT_EQ(l[i], u"");
}

TEST(AboutLines, TrailingPercentLeavesNextLineEmptyAndExtraLinesAreDropped) {
    AboutLines l = cutAboutText(u"a%");
    EXPECT_EQ(l[0], u"a");
    EXPECT_EQ(l[1], u"");
    l = cutAboutText(u"1%2%3%4%5%6%7%8%9");
    EXPECT_EQ(l[6], u"7");
    l = cutAboutText(u"%%%%%%%%%%");
    for (const auto& line : l) EXPECT_EQ(line, u"");
}

TEST(Utf16ToUtf8, EncodesAllPlanesAndReplacesLoneSurrogates) {
    EXPECT_EQ(utf16ToUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    std::u16string lone(1, char16_t(0xD800));
    EXPECT_EQ(utf16ToUtf8(lone), "\xEF\xBF\xBD");
}

TEST(EmbeddedUiText, EveryKeyPresentAndAboutTextHasItsForm) {
    FakePlatform fake;
    std::ifstream in(std::string(RAVELIN_SOURCE_DIR) + "/resources/ui_text.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    ASSERT_GT(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "bare LF at " << i;
        }

    loadUiText(bytesOf(text));
    const std::pair<const char16_t*, const char16_t*> expected[] = {
        {u"screensaver_configuration", u"Ravelin Configuration"},
        {u"video_mode_selection", u"Video Mode"},
        {u"use_desktop_settings", u"Use Desktop Settings"},
        {u"vsync", u"VSync"},
        {u"sound_control", u"Sound Control"},
        {u"master_volume:", u"Volume"},
        {u"enable_music", u"Enable Music"},
        {u"enable_sfx", u"Enable SFX"},
        {u"gamma_control", u"Gamma Control"},
        {u"brightness", u"Brightness"},
        {u"use_by_default", u"Use Default Setting"},
        {u"options", u"Options"},
        {u"show_fps", u"Show FPS"},
        {u"show_time", u"Show Time"},
        {u"12h_style", u"12 hrs"},
        {u"24h_style", u"24 hrs"},
        {u"exit_on_mouse_move", u"Exit On Mouse Move"},
        {u"products", u"Products"},
        {u"visit_our_official_web-site", u"Visit Our Official web-site for more great 3D screensavers"},
        {u"visit...", u"Visit..."},
        {u"about", u"About"},
        {u"restore_defaults", u"Restore Defaults"},
        {u"OK", u"OK"},
        {u"Cancel", u"Cancel"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(uiText(key), value) << utf16ToUtf8(key);
    std::u16string about = uiText(u"about_window_text");
    size_t percents = 0;
    for (char16_t c : about) percents += c == u'%';
    EXPECT_EQ(percents, 6u);
    EXPECT_TRUE(fake.messages.empty());

    const AboutLines& lines = aboutLines();
    EXPECT_EQ(lines[0], u"Ravelin");
    EXPECT_EQ(lines[1], u"");
    EXPECT_EQ(lines[2].rfind(u"Programming: ", 0), 0u);
    EXPECT_EQ(lines[3].rfind(u"3D models: ", 0), 0u);
    EXPECT_EQ(lines[4].rfind(u"Music and Sounds: ", 0), 0u);
    EXPECT_FALSE(lines[5].empty());
    EXPECT_FALSE(lines[6].empty());
    // The first line of the file is a heading, not the mark.
    EXPECT_EQ(uiTextTable().line(0).substr(0, 4), u"----");
}
