// The dialogs' texts: the embedded UTF-8 table (resource 116) decoded into UTF-16 lines,
// answered by key with uiText(), and the seven about-box lines cut from "about_window_text".
// Start-up loads the one process-wide table; the configuration and about dialogs read it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

class UiTextTable {
public:
    // Lines past kCapacity are not read: the table is a fixed-size translation file.
    static constexpr size_t kCapacity = 200;

    // Decodes the whole text, replacing what the table held.
    void load(ByteRange bytes);
    // The line after the key's line; a missing key shows its name in a message box and gives
    // an empty text.
    std::u16string uiText(std::u16string_view key) const;

    size_t lineCount() const { return lines_.size(); }
    const std::u16string& line(size_t i) const { return lines_[i]; }

private:
    std::vector<std::u16string> lines_;
};

// One UTF-16 unit from the bytes at `p` (before `end`), advancing `p` by at least one byte.
// A byte-order mark yields nothing (returns false); anything not understood yields U+FFFD.
bool decodeUiTextUnit(const uint8_t*& p, const uint8_t* end, char16_t& unit);

constexpr size_t kAboutLineCount = 7;
using AboutLines = std::array<std::u16string, kAboutLineCount>;
// Each '%' ends a line; text after the seventh line is dropped.
AboutLines cutAboutText(std::u16string_view text);

// The process-wide table and about lines.
UiTextTable& uiTextTable();
std::u16string uiText(std::u16string_view key);
const AboutLines& aboutLines();
// Loads the process-wide table, then cuts the about lines from it.
void loadUiText(ByteRange bytes);

// For putting UTF-16 texts into UTF-8 toolkits and message boxes (unpaired surrogates become
// U+FFFD).
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace ravelin
