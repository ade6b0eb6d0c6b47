#include "app/command_line.h"

#include <cstdint>

namespace ravelin {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The first run of decimal digits from `pos` on (anything before it skipped), saturated to a
// signed 32-bit value; 0 when no digit follows.
WindowHandle windowNumber(std::string_view text, size_t pos) {
    while (pos < text.size() && !isDigit(text[pos])) ++pos;
    int64_t value = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        if (value > INT32_MAX) value = INT32_MAX;  // a runaway number must not overflow
        ++pos;
    }
    return static_cast<WindowHandle>(value);
}

}  // namespace

ScreensaverApp::RunMode parseCommandLine(std::string_view text, WindowHandle& parentWindow) {
    using Mode = ScreensaverApp::RunMode;
    parentWindow = 0;
    size_t pos = 0;
    const size_t n = text.size();

    // The executable path: quoted (blanks inside belong to it) or up to the first blank.
    if (n > 0 && text[0] == '"') {
        pos = 1;
        while (pos < n && text[pos] != '"') ++pos;
        if (pos < n) ++pos;
    } else {
        while (pos < n && text[pos] != ' ') ++pos;
        if (pos < n) ++pos;
    }

    // The first '/' or '-' starts the switch, even inside a longer word.
    while (pos < n && text[pos] != '/' && text[pos] != '-') ++pos;
    if (pos >= n) return Mode::Configure;
    ++pos;
    if (pos >= n) return Mode::Saver;
    const char letter = text[pos];
    switch (letter) {
        case 'C':
        case 'c':
            parentWindow = windowNumber(text, pos + 1);
            return Mode::Configure;
        case 'P':
        case 'p':
            parentWindow = windowNumber(text, pos + 1);
            return Mode::Preview;
        case 'T':
        case 't':
            return Mode::SaverAlt;
        default:
            return Mode::Saver;
    }
}

}  // namespace ravelin
