// The host's command line: executable path skipping, the switch letters and window numbers.
#include <gtest/gtest.h>

#include "app/command_line.h"

using namespace ravelin;
using Mode = ScreensaverApp::RunMode;

namespace {

struct Parsed {
    Mode mode;
    WindowHandle parent;
};

Parsed parse(std::string_view text, WindowHandle before = 777) {
    WindowHandle parent = before;  // parsing always sets it, to 0 when there is no number
    Mode mode = parseCommandLine(text, parent);
    return {mode, parent};
}

}  // namespace

TEST(CommandLine, NothingAfterThePathConfiguresWithoutOwner) {
    for (const char* line : {"saver.scr", "saver.scr ", "\"C:\\Program Files\\saver.scr\"", "", "\"unterminated"}) {
        Parsed p = parse(line);
        EXPECT_EQ(p.mode, Mode::Configure) << line;
        EXPECT_EQ(p.parent, 0u) << line;
    }
}

TEST(CommandLine, QuotedPathWithBlanksIsSkippedWhole) {
    EXPECT_EQ(parse("\"C:\\My Saver - Copy\\ravelin.scr\" /s").mode, Mode::Saver);
    // Unquoted, the path ends at its first blank, so a '-' after that blank is the switch.
    EXPECT_EQ(parse("C:\\My Saver -Copy\\ravelin.scr /s").mode, Mode::Configure);
    // A quote right after the path's own closing quote is just text.
    EXPECT_EQ(parse("\"a b\"/p 12").mode, Mode::Preview);
}

TEST(CommandLine, ConfigureWithWindowNumber) {
    Parsed a = parse("saver.scr /c:1234");
    EXPECT_EQ(a.mode, Mode::Configure);
    EXPECT_EQ(a.parent, 1234u);
    Parsed b = parse("saver.scr -C 1234");
    EXPECT_EQ(b.mode, Mode::Configure);
    EXPECT_EQ(b.parent, 1234u);
    Parsed c = parse("saver.scr /c");
    EXPECT_EQ(c.mode, Mode::Configure);
    EXPECT_EQ(c.parent, 0u);
    Parsed d = parse("saver.scr /c window 42 then 7");
    EXPECT_EQ(d.parent, 42u);  // the first run of digits, wherever it starts
}

TEST(CommandLine, PreviewWithWindowNumber) {
    Parsed a = parse("saver.scr /p 5678");
    EXPECT_EQ(a.mode, Mode::Preview);
    EXPECT_EQ(a.parent, 5678u);
    Parsed b = parse("saver.scr /p");
    EXPECT_EQ(b.mode, Mode::Preview);
    EXPECT_EQ(b.parent, 0u);
    Parsed c = parse("saver.scr -P12x34");
    EXPECT_EQ(c.parent, 12u);
}

TEST(CommandLine, RunLettersAndALoneSlash) {
    for (const char* line : {"saver.scr /S", "saver.scr /s", "saver.scr /a", "saver.scr /", "saver.scr -", "saver.scr -1"}) {
        Parsed p = parse(line);
        EXPECT_EQ(p.mode, Mode::Saver) << line;
        EXPECT_EQ(p.parent, 0u) << line;
    }
    EXPECT_EQ(parse("saver.scr /t").mode, Mode::SaverAlt);
    EXPECT_EQ(parse("saver.scr -T").mode, Mode::SaverAlt);
}

TEST(CommandLine, BlankBetweenSlashAndLetterMeansRun) {
    EXPECT_EQ(parse("saver.scr / c").mode, Mode::Saver);
    EXPECT_EQ(parse("saver.scr / p 12").parent, 0u);
}

TEST(CommandLine, DashInsideALongerWordStartsTheSwitch) {
    EXPECT_EQ(parse("saver.scr my-config").mode, Mode::Configure);  // '-c'
    EXPECT_EQ(parse("saver.scr some-preview 99").mode, Mode::Preview);
    EXPECT_EQ(parse("saver.scr some-preview 99").parent, 99u);
    EXPECT_EQ(parse("saver.scr x/tail").mode, Mode::SaverAlt);
    EXPECT_EQ(parse("saver.scr semi-automatic").mode, Mode::Saver);
}

TEST(CommandLine, OnlyTheFirstSwitchCounts) {
    Parsed p = parse("saver.scr /s /c 5");
    EXPECT_EQ(p.mode, Mode::Saver);
    EXPECT_EQ(p.parent, 0u);
    EXPECT_EQ(parse("saver.scr /p 1 /t").mode, Mode::Preview);
}

TEST(CommandLine, PathWithSlashesIsSkippedBeforeLooking) {
    EXPECT_EQ(parse("/usr/lib/ravelin/ravelin").mode, Mode::Configure);
    EXPECT_EQ(parse("/opt/rave-lin/ravelin -p 3").parent, 3u);
}

TEST(CommandLine, HugeNumberSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(parse("s /c 99999999999999999999").parent, static_cast<WindowHandle>(INT32_MAX));
    EXPECT_EQ(parse("s /c 2147483647").parent, static_cast<WindowHandle>(2147483647));
}
