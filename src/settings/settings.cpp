// The two settings records and their persistence through the platform's settings store.
#include "settings/settings.h"

#include "platform/platform.h"

namespace ravelin {
namespace {

// A stored value equal to this marker is indistinguishable from a missing one: the query
// buffer is primed with it, and only a changed buffer is taken.
constexpr uint32_t kMissingMarker = 10000;

enum class Kind { Bool, Int };

struct Field {
    const char* name;
    Kind kind;
    bool ScreensaverSettings::*flag;
    int32_t ScreensaverSettings::*number;
};

constexpr Field boolField(const char* name, bool ScreensaverSettings::*flag) {
    return {name, Kind::Bool, flag, nullptr};
}
constexpr Field intField(const char* name, int32_t ScreensaverSettings::*number) {
    return {name, Kind::Int, nullptr, number};
}

// Reading order of the store's values.
const Field kLoadOrder[] = {
    boolField("ShowClock", &ScreensaverSettings::ShowClock),
    boolField("TimeFormat", &ScreensaverSettings::TimeFormat),
    boolField("English", &ScreensaverSettings::English),
    boolField("Random", &ScreensaverSettings::Random),
    boolField("EnableMusic", &ScreensaverSettings::EnableMusic),
    boolField("EnableSFX", &ScreensaverSettings::EnableSFX),
    boolField("UseDesktop", &ScreensaverSettings::UseDesktop),
    boolField("ShowFlame", &ScreensaverSettings::ShowFlame),
    boolField("DefGamma", &ScreensaverSettings::DefGamma),
    intField("Width", &ScreensaverSettings::Width),
    intField("Height", &ScreensaverSettings::Height),
    intField("Depth", &ScreensaverSettings::Depth),
    intField("Volume", &ScreensaverSettings::Volume),
    intField("Gamma", &ScreensaverSettings::Gamma),
    intField("Detail", &ScreensaverSettings::Detail),
    boolField("ShowFPS", &ScreensaverSettings::ShowFPS),
    boolField("VSync", &ScreensaverSettings::VSync),
    boolField("MouseExit", &ScreensaverSettings::MouseExit),
};

// Writing order: the same as reading except that the last three come in another order.
const Field kSaveOrder[] = {
    boolField("ShowClock", &ScreensaverSettings::ShowClock),
    boolField("TimeFormat", &ScreensaverSettings::TimeFormat),
    boolField("English", &ScreensaverSettings::English),
    boolField("Random", &ScreensaverSettings::Random),
    boolField("EnableMusic", &ScreensaverSettings::EnableMusic),
    boolField("EnableSFX", &ScreensaverSettings::EnableSFX),
    boolField("UseDesktop", &ScreensaverSettings::UseDesktop),
    boolField("ShowFlame", &ScreensaverSettings::ShowFlame),
    boolField("DefGamma", &ScreensaverSettings::DefGamma),
    intField("Width", &ScreensaverSettings::Width),
    intField("Height", &ScreensaverSettings::Height),
    intField("Depth", &ScreensaverSettings::Depth),
    intField("Volume", &ScreensaverSettings::Volume),
    intField("Gamma", &ScreensaverSettings::Gamma),
    intField("Detail", &ScreensaverSettings::Detail),
    boolField("VSync", &ScreensaverSettings::VSync),
    boolField("MouseExit", &ScreensaverSettings::MouseExit),
    boolField("ShowFPS", &ScreensaverSettings::ShowFPS),
};

}  // namespace

ScreensaverSettings& liveSettings() {
    static ScreensaverSettings live;
    return live;
}

ScreensaverSettings& defaultSettings() {
    static ScreensaverSettings defaults;
    return defaults;
}

void loadSettings() {
    ScreensaverSettings& s = liveSettings();
    SettingsStore& store = platform().settingsStore();
    // A store that cannot be opened answers no query, so every field keeps its value.
    store.open(false);
    for (const Field& f : kLoadOrder) {
        uint32_t value = kMissingMarker;
        store.query(f.name, value);
        if (value == kMissingMarker) continue;
        if (f.kind == Kind::Bool)
            s.*f.flag = value != 0;
        else
            s.*f.number = static_cast<int32_t>(value);
    }
    store.close();
    // With the display's own gamma in use, a stored brightness would only confuse the dialog.
    if (s.DefGamma) s.Gamma = 50;
}

bool saveSettings(std::string* failure) {
    const ScreensaverSettings& s = liveSettings();
    SettingsStore& store = platform().settingsStore();
    const bool opened = store.open(true);
    if (opened) {
        for (const Field& f : kSaveOrder) {
            uint32_t value = f.kind == Kind::Bool ? (s.*f.flag ? 1u : 0u) : static_cast<uint32_t>(s.*f.number);
            store.set(f.name, value);
        }
    }
    store.close();
    // A failed save is said, not swallowed: the dialog stays open with the reason.
    std::string why = store.lastFailure();
    if (opened && why.empty()) return true;
    if (failure) *failure = why.empty() ? "the settings store cannot be opened" : why;
    return false;
}

bool plausibleDisplayMode(int32_t width, int32_t height, int32_t depth) {
    constexpr int32_t kLargest = 16384;
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) return false;
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

}  // namespace ravelin
