#include "settings/default_settings_file.h"

#include <limits>

namespace ravelin {

// "неправильный формат файла def_settings.txt" and "Не найден параметр в файле def_settings.txt",
// kept in the file's own code page.
const char kDefaultsFormatMessage[] =
    "\xED\xE5\xEF\xF0\xE0\xE2\xE8\xEB\xFC\xED\xFB\xE9 \xF4\xEE\xF0\xEC\xE0\xF2 \xF4\xE0\xE9\xEB\xE0"
    " def_settings.txt";
const char kDefaultsMissingKeyMessage[] =
    "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED \xEF\xE0\xF0\xE0\xEC\xE5\xF2\xF0 \xE2 \xF4\xE0\xE9\xEB\xE5"
    " def_settings.txt";

namespace {

// Blanks, tabs, control characters and every non-ASCII byte vanish from a line.
bool dropped(unsigned char c) { return c <= 0x20 || c >= 0x80; }

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

// a equals the lower-case b once A–Z are folded (no copy: every lookup scans the table).
bool equalsFolded(std::string_view a, std::string_view lowerB) {
    if (a.size() != lowerB.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerB[i]) return false;
    return true;
}

}  // namespace

void DefaultSettingsFile::load(ByteRange bytes) {
    entries_.clear();
    if (!bytes.data) return;
    const uint8_t* p = bytes.data;
    const uint8_t* const end = bytes.data + bytes.size;
    std::string line;
    while (p < end) {
        // Only CR ends a line (with one LF right after it belonging to the same break); a bare
        // LF is a control character and is compacted away below.
        line.clear();
        while (p < end && *p != 0x0D) {
            if (!dropped(*p)) line += static_cast<char>(*p);
            ++p;
        }
        if (p < end) {
            ++p;  // the CR
            if (p < end && *p == 0x0A) ++p;
        }
        size_t semicolon = line.find(';');
        if (semicolon != std::string::npos) line.resize(semicolon);
        if (line.empty()) continue;

        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            platform().messageBox(kDefaultsFormatMessage, "", TextEncoding::Cp1251);
            if (entries_.size() < kCapacity) entries_.emplace_back(line, line);
            continue;
        }
        if (entries_.size() < kCapacity) entries_.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
}

std::string DefaultSettingsFile::lookupDefault(std::string_view key) const {
    std::string asked = lowerCopy(key);
    // The table's keys have no blanks (compaction removed them), so the asked key is compacted
    // the same way: 'Music Volume' finds "MusicVolume" as a line 'Music Volume = 75' would.
    std::string compact;
    for (char c : asked)
        if (!dropped(static_cast<unsigned char>(c))) compact += c;
    for (const auto& e : entries_) {
        if (equalsFolded(e.first, compact)) return lowerCopy(e.second);
    }
    platform().messageBox(kDefaultsMissingKeyMessage, asked, TextEncoding::Cp1251);
    return {};
}

int32_t defaultTextToNumber(std::string_view text) {
    if (text == "true") return 1;
    if (text == "false") return 0;
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t n = 0;
    // Saturate rather than overflow: a value of twenty digits is nonsense, not a crash.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        n = n * 10 + (text[i] - '0');
        if (n > kLimit) n = kLimit;
        ++i;
    }
    if (negative) n = -n;
    if (n > std::numeric_limits<int32_t>::max()) n = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(n);
}

int32_t DefaultSettingsFile::defaultNumber(std::string_view key) const {
    return defaultTextToNumber(lookupDefault(key));
}

void DefaultSettingsFile::applyDefaultsFile(ScreensaverSettings& r) const {
    r.Width = defaultNumber("MW");
    r.Height = defaultNumber("MH");
    r.Depth = defaultNumber("MBitCount");
    r.EnableMusic = defaultNumber("Music") != 0;
    r.Volume = defaultNumber("MusicVolume");
    r.ShowClock = defaultNumber("ShowTime") != 0;
    // The file names the 24-hour style; the record holds the 12-hour flag.
    r.TimeFormat = defaultNumber("DigClock_24H") == 0;
    // The file counts brightness from 0 with 100 as neutral; the record centres it on 50.
    int64_t gamma = int64_t{defaultNumber("GammControl")} - 50;
    r.Gamma = static_cast<int32_t>(gamma < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min() : gamma);
    r.DefGamma = defaultNumber("DefGamma") != 0;
    r.MouseExit = defaultNumber("ExitOnMouseMove") != 0;
    r.ShowFPS = defaultNumber("ShowFPS") != 0;
    r.UseDesktop = defaultNumber("UseDktpSet") != 0;
    r.VSync = defaultNumber("VSync") != 0;
    r.EnableSFX = defaultNumber("SFX") != 0;
}

DefaultSettingsFile& defaultSettingsFile() {
    static DefaultSettingsFile table;
    return table;
}

std::string lookupDefault(std::string_view key) { return defaultSettingsFile().lookupDefault(key); }
int32_t defaultNumber(std::string_view key) { return defaultSettingsFile().defaultNumber(key); }
void applyDefaultsFile(ScreensaverSettings& record) { defaultSettingsFile().applyDefaultsFile(record); }

std::string& mainWebSiteUrl() {
    static std::string url;
    return url;
}

}  // namespace ravelin
