// The factory settings text: line breaking, compaction, comments, lookups, numbers, the
// record rules and the embedded file itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_platform.h"
#include "settings/default_settings_file.h"
#include "test_support.h"

using namespace ravelin;

namespace {

ByteRange bytesOf(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

const char kFormatUtf8[] = "неправильный формат файла def_settings.txt";
const char kMissingUtf8[] = "Не найден параметр в файле def_settings.txt";

class DefaultsTest : public ::testing::Test {
protected:
    FakePlatform fake;
    DefaultSettingsFile table;
    void load(const std::string& text) {
        source = text;
        table.load(bytesOf(source));
    }
    std::string source;
};

}  // namespace

TEST_F(DefaultsTest, TabsBlanksAndClosingSemicolonAreCompactedAway) {
    load("Music\t\t= true;\r\nFSAA = 2;\t; not used\r\nExit On Mouse Move = True\r\n");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.entry(0).first, "Music");
    EXPECT_EQ(table.entry(0).second, "true");
    EXPECT_EQ(table.entry(1).first, "FSAA");
    EXPECT_EQ(table.entry(1).second, "2");
    EXPECT_EQ(table.entry(2).first, "ExitOnMouseMove");
    EXPECT_EQ(table.entry(2).second, "True");  // stored as written, folded only on lookup
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, CommentsBlankLinesAndNonAsciiLinesAreSkipped) {
    load("; comment\r\n\r\n   \t\r\n\xCF\xF0\xE8\xE2\xE5\xF2\r\n;\xCC\xFB = 5\r\nA=1;\r\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entry(0).first, "A");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, NonAsciiAndControlBytesInsideAKeyVanish) {
    load("Mu\xE9s\x01ic=\x7Ftr\xFFue\r\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entry(0).first, "Music");
    EXPECT_EQ(table.entry(0).second, "\x7Ftrue");  // DEL is below 0x80 and above blank: kept
}

TEST_F(DefaultsTest, ValueMayBeEmptyOrHoldFurtherEquals) {
    load("A=\r\nB=x=y\r\n=v\r\n");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.entry(0).second, "");
    EXPECT_EQ(table.entry(1).first, "B");
    EXPECT_EQ(table.entry(1).second, "x=y");
    EXPECT_EQ(table.entry(2).first, "");
    EXPECT_EQ(table.entry(2).second, "v");
}

TEST_F(DefaultsTest, LineWithoutEqualsShowsFormatMessageAndIsStoredWhole) {
    load("Music\r\nMusic = true;\r\n");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, kFormatUtf8);
    EXPECT_EQ(fake.messages[0].caption, "");
    EXPECT_EQ(fake.messages[0].rawText, kDefaultsFormatMessage);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.entry(0).first, "Music");
    EXPECT_EQ(table.entry(0).second, "Music");
    // The broken line comes first, so it answers "Music": not a number, so 0.
    EXPECT_EQ(table.defaultNumber("Music"), 0);
    EXPECT_EQ(fake.messages.size(), 1u);
}

TEST_F(DefaultsTest, OneFormatMessagePerBrokenLine) {
    load("a\r\nb;x=1\r\nc=1\r\n");
    EXPECT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(table.size(), 3u);
}

TEST_F(DefaultsTest, LfOnlyFileIsOneLineCutAtItsFirstSemicolon) {
    load("Music = true;\nShowTime = true;\nMW = 800;\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entry(0).first, "Music");
    EXPECT_EQ(table.entry(0).second, "true");

    load("; settings\nMusic = true;\nShowTime = true;\n");
    EXPECT_EQ(table.size(), 0u);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, CrEndsALineAndOnlyOneLfBelongsToIt) {
    load("A=1\rB=2\r\n\nC=3\r\r\nD=4");
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table.entry(0).first, "A");
    EXPECT_EQ(table.entry(1).first, "B");
    EXPECT_EQ(table.entry(2).first, "C");  // "\nC=3": the stray LF is compacted away
    EXPECT_EQ(table.entry(3).first, "D");  // the last line needs no line end
}

TEST_F(DefaultsTest, LookupFoldsCaseAndBlanksAndLowerCasesTheValue) {
    load("MusicVolume = 75;\r\nURL = HTTP://Example.ORG/Path;\r\n");
    EXPECT_EQ(table.lookupDefault("musicvolume"), "75");
    EXPECT_EQ(table.lookupDefault("MUSICVOLUME"), "75");
    EXPECT_EQ(table.lookupDefault("Music Volume"), "75");
    EXPECT_EQ(table.lookupDefault("url"), "http://example.org/path");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, FirstOfDuplicateKeysWins) {
    load("SFX = false;\r\nsfx = true;\r\n");
    EXPECT_EQ(table.defaultNumber("SFX"), 0);
}

TEST_F(DefaultsTest, MissingKeyShowsMessageWithLowerCasedKeyAndGivesEmpty) {
    load("A=1\r\n");
    EXPECT_EQ(table.lookupDefault("NoSuch_KEY"), "");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, kMissingUtf8);
    EXPECT_EQ(fake.messages[0].rawText, kDefaultsMissingKeyMessage);
    EXPECT_EQ(fake.messages[0].caption, "nosuch_key");
    EXPECT_EQ(table.defaultNumber("Other"), 0);
    EXPECT_EQ(fake.messages.size(), 2u);  // once per failed lookup
}

TEST_F(DefaultsTest, NumbersFromText) {
    load("a=True\r\nb=TRUE\r\nc=true\r\nd=yes\r\ne=2 \r\nf= 2\r\ng=-17x\r\nh=+5\r\ni=abc\r\nj=FALSE\r\n"
         "k=99999999999\r\nl=-99999999999\r\nm=-\r\nn=2147483647\r\no=-2147483648\r\n");
    EXPECT_EQ(table.defaultNumber("a"), 1);
    EXPECT_EQ(table.defaultNumber("b"), 1);
    EXPECT_EQ(table.defaultNumber("c"), 1);
    EXPECT_EQ(table.defaultNumber("d"), 0);
    EXPECT_EQ(table.defaultNumber("e"), 2);
    EXPECT_EQ(table.defaultNumber("f"), 2);
    EXPECT_EQ(table.defaultNumber("g"), -17);
    EXPECT_EQ(table.defaultNumber("h"), 5);
    EXPECT_EQ(table.defaultNumber("i"), 0);
    EXPECT_EQ(table.defaultNumber("j"), 0);
    EXPECT_EQ(table.defaultNumber("k"), INT32_MAX);  // saturated, never undefined
    EXPECT_EQ(table.defaultNumber("l"), INT32_MIN);
    EXPECT_EQ(table.defaultNumber("m"), 0);
    EXPECT_EQ(table.defaultNumber("n"), INT32_MAX);
    EXPECT_EQ(table.defaultNumber("o"), INT32_MIN);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, RecordRulesInvertClockAndShiftGamma) {
    load("MW=1\r\nMH=2\r\nMBitCount=16\r\nMusic=false\r\nMusicVolume=3\r\nShowTime=0\r\nDigClock_24H=true\r\n"
         "GammControl=0\r\nDefGamma=false\r\nExitOnMouseMove=1\r\nShowFPS=true\r\nUseDktpSet=0\r\nVSync=1\r\nSFX=2\r\n");
    ScreensaverSettings r;
    r.ShowFlame = r.Random = r.English = true;
    r.Detail = 9;
    r.EnableMusic = r.ShowClock = r.TimeFormat = r.DefGamma = r.UseDesktop = true;
    table.applyDefaultsFile(r);
    EXPECT_EQ(r.Width, 1);
    EXPECT_EQ(r.Height, 2);
    EXPECT_EQ(r.Depth, 16);
    EXPECT_FALSE(r.EnableMusic);
    EXPECT_EQ(r.Volume, 3);
    EXPECT_FALSE(r.ShowClock);
    EXPECT_FALSE(r.TimeFormat);  // 24-hour default clears the 12-hour flag
    EXPECT_EQ(r.Gamma, -50);
    EXPECT_FALSE(r.DefGamma);
    EXPECT_TRUE(r.MouseExit);
    EXPECT_TRUE(r.ShowFPS);
    EXPECT_FALSE(r.UseDesktop);
    EXPECT_TRUE(r.VSync);
    EXPECT_TRUE(r.EnableSFX);
    // Fields without a key are left alone.
    EXPECT_TRUE(r.ShowFlame && r.Random && r.English);
    EXPECT_EQ(r.Detail, 9);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, EmptyTableGivesFourteenMessagesAndZeros) {
    load("");
    ScreensaverSettings r;
    table.applyDefaultsFile(r);
    EXPECT_EQ(fake.messages.size(), 14u);
    EXPECT_EQ(fake.messages[0].caption, "mw");
    EXPECT_EQ(fake.messages[13].caption, "sfx");
    EXPECT_TRUE(r.TimeFormat);  // "" reads 0, inverted
    EXPECT_EQ(r.Gamma, -50);
}

TEST_F(DefaultsTest, TableStopsGrowingAtItsCapacity) {
    std::string text;
    for (int i = 0; i < 150; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    text += "broken\r\n";
    load(text);
    EXPECT_EQ(table.size(), DefaultSettingsFile::kCapacity);
    EXPECT_EQ(table.defaultNumber("K99"), 99);
    EXPECT_EQ(fake.messages.size(), 1u);  // the broken line past the end is still reported
    table.lookupDefault("K100");
    EXPECT_EQ(fake.messages.size(), 2u);
}

TEST_F(DefaultsTest, LoadReplacesThePreviousTable) {
    load("A=1\r\n");
    load("B=2\r\n");
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entry(0).first, "B");
    table.load({});
    EXPECT_EQ(table.size(), 0u);
}

TEST_F(DefaultsTest, EmbeddedFileGivesTheBuiltInDefaultsSilently) {
    const std::string text = ravelin::testing::readSourceText("resources/def_settings.txt");
    ASSERT_FALSE(text.empty());
    // Written with CR LF and Windows-1251 Cyrillic comments.
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_NE(text.find('\xE5'), std::string::npos);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "bare LF at " << i;
        }
    load(text);
    EXPECT_TRUE(fake.messages.empty());
    const char* keys[] = {"Music", "ShowTime", "ShowFPS", "UseDktpSet", "ExitOnMouseMove", "GammControl",
                          "DigClock_24H", "MusicVolume", "SFX", "MW", "MH", "MBitCount", "FSAA", "VSync",
                          "DefGamma", "SFX", "main_web_site_url"};
    const char* values[] = {"true", "true", "false", "true", "false", "100", "false", "75", "true",
                            "800",  "600",  "32",    "2",    "0",     "true", "true"};
    ASSERT_EQ(table.size(), 17u);
    for (size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(table.entry(i).first, keys[i]) << i;
        if (i < 16) {
            EXPECT_EQ(table.entry(i).second, values[i]) << i;
        }
    }
    const std::string url = table.lookupDefault("main_web_site_url");
    EXPECT_EQ(url.rfind("http", 0), 0u);
    EXPECT_EQ(url, table.entry(16).second);  // already lower case in the file

    ScreensaverSettings r;
    table.applyDefaultsFile(r);
    ScreensaverSettings expected;
    expected.EnableMusic = expected.EnableSFX = expected.ShowClock = true;
    expected.UseDesktop = expected.DefGamma = expected.TimeFormat = true;
    expected.Volume = 75;
    expected.Gamma = 50;
    expected.Width = 800;
    expected.Height = 600;
    expected.Depth = 32;
    EXPECT_EQ(r, expected);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DefaultsTest, ProcessWideTableAndFreeFunctions) {
    source = "MW=640\r\n";
    defaultSettingsFile().load(bytesOf(source));
    EXPECT_EQ(defaultNumber("mw"), 640);
    EXPECT_EQ(lookupDefault("MW"), "640");
    ScreensaverSettings r;
    applyDefaultsFile(r);
    EXPECT_EQ(r.Width, 640);
    defaultSettingsFile().load({});
}
