#include "settings/ui_text.h"

namespace ravelin {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

char16_t lowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

AboutLines& aboutStorage() {
    static AboutLines lines;
    return lines;
}

}  // namespace

bool decodeUiTextUnit(const uint8_t*& p, const uint8_t* end, char16_t& unit) {
    const size_t left = static_cast<size_t>(end - p);
    const uint8_t b0 = p[0];
    // The byte-order mark is skipped wherever it appears: files pasted together keep theirs.
    if (left >= 3 && b0 == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        p += 3;
        return false;
    }
    if (b0 < 0x80) {
        unit = b0;
        p += 1;
        return true;
    }
    // Continuation bytes are trusted to be 10xxxxxx; their top bits are masked off.
    if ((b0 & 0xF0) == 0xE0 && left >= 3) {
        unit = static_cast<char16_t>(((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        p += 3;
        return true;
    }
    if ((b0 & 0xE0) == 0xC0 && left >= 2) {
        unit = static_cast<char16_t>(((b0 & 0x1F) << 6) | (p[1] & 0x3F));
        p += 2;
        return true;
    }
    // Four-byte sequences (outside the dialogs' alphabet) become one replacement character.
    if ((b0 & 0xF8) == 0xF0 && left >= 4) {
        unit = kReplacement;
        p += 4;
        return true;
    }
    // Stray continuation bytes, F8–FF and sequences cut off by the end of the data.
    unit = kReplacement;
    p += 1;
    return true;
}

void UiTextTable::load(ByteRange bytes) {
    lines_.clear();
    if (!bytes.data) return;
    const uint8_t* p = bytes.data;
    const uint8_t* const end = bytes.data + bytes.size;
    while (p < end && lines_.size() < kCapacity) {
        std::u16string line;
        while (p < end) {
            char16_t unit = 0;
            if (!decodeUiTextUnit(p, end, unit)) continue;
            if (unit == 0x0A) break;
            if (unit == 0x0D || unit == 0) continue;
            line += unit;
        }
        // Key lines are stored folded so lookups can ignore case; the first and last characters
        // (the '#' and the closing mark) stay as they are.
        if (!line.empty() && line[0] == u'#') {
            for (size_t i = 1; i + 1 < line.size(); ++i) line[i] = lowerAscii(line[i]);
        }
        lines_.push_back(std::move(line));
    }
}

std::u16string UiTextTable::uiText(std::u16string_view key) const {
    std::u16string asked(key);
    for (char16_t& c : asked) c = lowerAscii(c);
    const size_t n = asked.size();
    for (size_t i = 0; i + 1 < lines_.size(); ++i) {
        const std::u16string& line = lines_[i];
        if (line.empty() || line[0] != u'#') continue;
        // A key line one or two units longer than the key: '#', the key, usually a closing '#'.
        // A line too short to hold the key is a mismatch, not a read past its end.
        if (line.size() < n + 1 || line.size() > n + 2) continue;
        if (line.compare(1, n, asked) == 0) return lines_[i + 1];
    }
    platform().messageBox(utf16ToUtf8(asked), "", TextEncoding::Utf8);
    return {};
}

AboutLines cutAboutText(std::u16string_view text) {
    AboutLines lines;
    size_t current = 0;
    for (char16_t c : text) {
        if (c == u'%') {
            if (++current == kAboutLineCount) break;  // only seven lines exist
            continue;
        }
        lines[current] += c;
    }
    return lines;
}

UiTextTable& uiTextTable() {
    static UiTextTable table;
    return table;
}

std::u16string uiText(std::u16string_view key) { return uiTextTable().uiText(key); }

const AboutLines& aboutLines() { return aboutStorage(); }

void loadUiText(ByteRange bytes) {
    uiTextTable().load(bytes);
    aboutStorage() = cutAboutText(uiText(u"about_window_text"));
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace ravelin
