// The factory settings carried as an embedded text (resource 117, def_settings.txt): its
// key/value table, the lookups and the rules that put it into a settings record.
// Start-up loads the one process-wide table; the dialog reads it (Restore Defaults, Visit...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace ravelin {

class DefaultSettingsFile {
public:
    // The table keeps the first kCapacity entries; lines after that are still read (a broken
    // one still shows its message) but not stored, so a huge text cannot grow it.
    static constexpr size_t kCapacity = 100;

    // Parses the whole text, replacing what the table held. Broken lines are reported through
    // the platform's message box, one message per line.
    void load(ByteRange bytes);

    // The first entry whose key equals the asked key (A–Z folded, blanks ignored), its value
    // lower-cased (A–Z only). A missing key shows a message and gives an empty text.
    std::string lookupDefault(std::string_view key) const;
    // "true" 1, "false" 0, otherwise the leading signed decimal number (0 when none).
    int32_t defaultNumber(std::string_view key) const;
    // Sets the fourteen fields that have a key in the file; the others stay as they are.
    void applyDefaultsFile(ScreensaverSettings& record) const;

    size_t size() const { return entries_.size(); }
    const std::pair<std::string, std::string>& entry(size_t i) const { return entries_[i]; }

private:
    std::vector<std::pair<std::string, std::string>> entries_;  // key, value; file order
};

// Leading signed decimal number of a text, saturated to 32 bits; "true"/"false" as 1/0.
int32_t defaultTextToNumber(std::string_view text);

// The process-wide table (start-up loads it) and the operations over it.
DefaultSettingsFile& defaultSettingsFile();
std::string lookupDefault(std::string_view key);
int32_t defaultNumber(std::string_view key);
void applyDefaultsFile(ScreensaverSettings& record);

// The product's web page ("main_web_site_url", lower-cased), taken once at start-up and held
// for the Visit... button.
std::string& mainWebSiteUrl();

// The two messages, as Windows-1251 bytes (exposed so tests can recognise them).
extern const char kDefaultsFormatMessage[];
extern const char kDefaultsMissingKeyMessage[];

}  // namespace ravelin
