// The configuration and about dialog rules, independent of any toolkit.
#include "settings/dialog_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "settings/default_settings_file.h"
#include "settings/ui_text.h"

namespace ravelin {

namespace {

// A driver that never says "no more modes" must not hang the dialog.
constexpr int kMaxEnumeratedModes = 100000;

// The sliders' ranges: the record's values as the dialog shows and saves them.
constexpr int kMinVolume = 1, kMaxVolume = 100;
constexpr int kMinGamma = 0, kMaxGamma = 100;

// The smallest mode worth offering for a full-screen run.
constexpr int kMinWidth = 640;
constexpr int kMinHeight = 480;
constexpr int kMinBits = 16;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

const ControlState kNoControl{};
const SliderState kNoSlider{};

}  // namespace

DialogServices standardDialogServices() {
    DialogServices services;
    services.text = [](std::string_view key) {
        // Keys are short ASCII names.
        std::u16string wide(key.begin(), key.end());
        return utf16ToUtf8(uiText(wide));
    };
    services.save = [](std::string& failure) { return saveSettings(&failure); };
    services.webAddress = mainWebSiteUrl();
    const AboutLines& lines = aboutLines();
    for (size_t i = 0; i < services.aboutLines.size() && i < lines.size(); ++i) {
        services.aboutLines[i] = utf16ToUtf8(lines[i]);
    }
    return services;
}

std::string modeText(int width, int height, int bitsPerPixel) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d x %d %d bits", width, height, bitsPerPixel);
    return buffer;
}

bool parseModeText(std::string_view text, int& width, int& height, int& bitsPerPixel) {
    // sscanf needs a terminated string; entries are short, longer text cannot be a mode.
    char buffer[64];
    if (text.size() >= sizeof buffer) return false;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    int w = 0, h = 0, b = 0;
    if (std::sscanf(buffer, "%d x %d %d bits", &w, &h, &b) != 3) return false;
    width = w;
    height = h;
    bitsPerPixel = b;
    return true;
}

std::string percentText(std::string_view label, int percent) {
    char number[32];
    std::snprintf(number, sizeof number, " (%d%%)", percent);
    std::string text(label);
    text += number;
    return text;
}

// ---------------------------------------------------------------------------------------------
// About dialog

AboutDialogModel::AboutDialogModel(const DialogServices& services) : services_(services) {}

void AboutDialogModel::initialise() {
    caption_ = services_.text ? services_.text("about") : std::string();
    lines_ = services_.aboutLines;
    closeResult_ = 0;
}

DialogAction AboutDialogModel::command(int id) {
    if (id != kIdOk && id != kIdCancel) return DialogAction::NotHandled;
    closeResult_ = id;
    return DialogAction::Close;
}

// ---------------------------------------------------------------------------------------------
// Configuration dialog

ConfigDialogModel::ConfigDialogModel(ScreensaverSettings& live, const ScreensaverSettings& defaults,
                                     DialogServices services)
    : live_(live), defaults_(defaults), services_(std::move(services)) {}

const ControlState& ConfigDialogModel::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? kNoControl : it->second;
}

const SliderState& ConfigDialogModel::slider(int id) const {
    if (id == kIdVolumeSlider) return volume_;
    if (id == kIdGammaSlider) return gamma_;
    return kNoSlider;
}

void ConfigDialogModel::initialise() {
    closeResult_ = 0;
    // A hand-edited file may hold anything: what the dialog shows, does arithmetic on and saves
    // back is always inside the sliders' ranges.
    live_.Volume = std::clamp(live_.Volume, kMinVolume, kMaxVolume);
    live_.Gamma = std::clamp(live_.Gamma, kMinGamma, kMaxGamma);
    setTexts();
    fillModeList();
    selectMode(live_.UseDesktop);
    showSettings();
}

void ConfigDialogModel::setTexts() {
    auto text = [this](std::string_view key) { return services_.text ? services_.text(key) : std::string(); };
    caption_ = text("screensaver_configuration");
    at(kIdVideoGroup).text = text("video_mode_selection");
    at(kIdUseDesktop).text = text("use_desktop_settings");
    at(kIdVSync).text = text("vsync");
    at(kIdOptionsGroup).text = text("options");
    at(kIdShowFps).text = text("show_fps");
    at(kIdMouseExit).text = text("exit_on_mouse_move");
    at(kIdShowClock).text = text("show_time");
    at(kIdRadio12).text = text("12h_style");
    at(kIdRadio24).text = text("24h_style");
    at(kIdGammaGroup).text = text("gamma_control");
    at(kIdBrightnessLabel).text = text("brightness");
    at(kIdDefGamma).text = text("use_by_default");
    at(kIdSoundGroup).text = text("sound_control");
    at(kIdVolumeLabel).text = text("master_volume:");
    at(kIdEnableMusic).text = text("enable_music");
    at(kIdEnableSfx).text = text("enable_sfx");
    at(kIdProductsGroup).text = text("products");
    at(kIdWebText).text = text("visit_our_official_web-site");
    at(kIdVisit).text = text("visit...");
    at(kIdAbout).text = text("about") + "...";
    at(kIdRestoreDefaults).text = text("restore_defaults");
    at(kIdOk).text = text("ok");
    at(kIdCancel).text = text("cancel");
}

void ConfigDialogModel::fillModeList() {
    // Adapters list one mode per refresh rate; consecutive modes that differ only there give
    // one entry. Modes that come back later (after another size) are listed again, as the
    // adapter ordered them.
    auto offered = [](const DisplayMode& m) {
        return m.width >= kMinWidth && m.height >= kMinHeight && m.bitsPerPixel >= kMinBits;
    };
    bool havePrevious = false;
    DisplayMode previous;
    DisplayMode mode;
    for (int i = 0; i < kMaxEnumeratedModes && platform().enumDisplayMode(i, mode); ++i) {
        if (!offered(mode)) continue;
        bool same = havePrevious && mode.width == previous.width && mode.height == previous.height &&
                    mode.bitsPerPixel == previous.bitsPerPixel;
        if (!same) modeList_.entries.push_back(modeText(mode.width, mode.height, mode.bitsPerPixel));
        previous = mode;
        havePrevious = true;
    }
    // A driver that lists nothing, or not the mode the desktop is in, would leave Use Desktop
    // Settings pointing at no entry (an empty box, and OK unable to store the desktop's mode):
    // the desktop's own mode is always offered, after the listed ones.
    DisplayMode desktop;
    if (platform().currentDisplayMode(desktop) && offered(desktop)) {
        std::string entry = modeText(desktop.width, desktop.height, desktop.bitsPerPixel);
        if (std::find(modeList_.entries.begin(), modeList_.entries.end(), entry) == modeList_.entries.end())
            modeList_.entries.push_back(entry);
    }
}

void ConfigDialogModel::selectMode(bool useDesktop) {
    std::string key;
    // A stored mode that no display has (zero, absurd, a depth that does not exist) shows the
    // desktop's mode rather than an empty list.
    if (useDesktop || !plausibleDisplayMode(live_.Width, live_.Height, live_.Depth)) {
        DisplayMode desktop;
        if (platform().currentDisplayMode(desktop)) key = modeText(desktop.width, desktop.height, desktop.bitsPerPixel);
    } else {
        key = modeText(live_.Width, live_.Height, live_.Depth);
    }
    modeList_.selected = -1;
    if (!key.empty()) {
        for (size_t i = 0; i < modeList_.entries.size(); ++i) {
            if (startsWithNoCase(modeList_.entries[i], key)) {
                modeList_.selected = static_cast<int>(i);
                break;
            }
        }
    }
    if (useDesktop) modeList_.enabled = false;
}

void ConfigDialogModel::updateVolumeEnabling() {
    bool sound = live_.EnableMusic || live_.EnableSFX;
    volume_.enabled = sound;
    at(kIdVolumeLabel).enabled = sound;
}

void ConfigDialogModel::updateVolumeLabel() {
    at(kIdVolumeLabel).text = percentText(services_.text ? services_.text("master_volume:") : std::string(), live_.Volume);
}

void ConfigDialogModel::updateBrightnessLabel() {
    at(kIdBrightnessLabel).text = percentText(services_.text ? services_.text("brightness") : std::string(), live_.Gamma + 50);
}

void ConfigDialogModel::showSettings() {
    at(kIdUseDesktop).checked = live_.UseDesktop;
    at(kIdEnableMusic).checked = live_.EnableMusic;
    at(kIdEnableSfx).checked = live_.EnableSFX;
    updateVolumeEnabling();
    updateVolumeLabel();
    at(kIdDefGamma).checked = live_.DefGamma;
    gamma_.enabled = !live_.DefGamma;
    at(kIdBrightnessLabel).enabled = !live_.DefGamma;
    updateBrightnessLabel();
    at(kIdShowClock).checked = live_.ShowClock;
    at(kIdShowFps).checked = live_.ShowFPS;
    at(kIdVSync).checked = live_.VSync;
    at(kIdMouseExit).checked = live_.MouseExit;
    at(kIdRadio12).checked = live_.TimeFormat;
    at(kIdRadio24).checked = !live_.TimeFormat;
    at(kIdRadio12).enabled = live_.ShowClock;
    at(kIdRadio24).enabled = live_.ShowClock;
    at(kIdWebText).text = services_.text ? services_.text("visit_our_official_web-site") : std::string();
    // A trackbar keeps its thumb inside its range, whatever the record holds.
    volume_ = SliderState{kMinVolume, kMaxVolume, std::clamp(live_.Volume, kMinVolume, kMaxVolume), 10, volume_.enabled};
    gamma_ = SliderState{kMinGamma, kMaxGamma, std::clamp(live_.Gamma, kMinGamma, kMaxGamma), 10, gamma_.enabled};
}

void ConfigDialogModel::readBack() {
    if (modeList_.selected < 0 || modeList_.selected >= static_cast<int>(modeList_.entries.size())) {
        return;  // nothing chosen: the mode stays as it is
    }
    int width = 0, height = 0, bits = 0;
    if (parseModeText(modeList_.entries[static_cast<size_t>(modeList_.selected)], width, height, bits)) {
        live_.Width = width;
        live_.Height = height;
        live_.Depth = bits;
    }
}

DialogAction ConfigDialogModel::command(int id) {
    switch (id) {
    case kIdOk:
        readBack();
        live_.TimeFormat = control(kIdRadio12).checked;
        if (services_.save) {
            std::string failure;
            if (!services_.save(failure)) {
                // Nothing was written and the old file stands: say why and stay open.
                at(kIdSaveFailure).text = "The settings were not saved: " + failure;
                return DialogAction::SaveFailed;
            }
        }
        at(kIdSaveFailure).text.clear();
        closeResult_ = kIdOk;
        return DialogAction::Close;
    case kIdCancel:
        closeResult_ = kIdCancel;
        return DialogAction::Close;
    case kIdUseDesktop:
        live_.UseDesktop = !live_.UseDesktop;
        at(kIdUseDesktop).checked = live_.UseDesktop;
        modeList_.enabled = !live_.UseDesktop;
        // Turning it off keeps whatever entry is selected; turning it on shows the desktop's.
        if (live_.UseDesktop) selectMode(true);
        return DialogAction::Handled;
    case kIdEnableMusic:
        live_.EnableMusic = !live_.EnableMusic;
        at(kIdEnableMusic).checked = live_.EnableMusic;
        updateVolumeEnabling();
        return DialogAction::Handled;
    case kIdEnableSfx:
        live_.EnableSFX = !live_.EnableSFX;
        at(kIdEnableSfx).checked = live_.EnableSFX;
        updateVolumeEnabling();
        return DialogAction::Handled;
    case kIdShowClock:
        live_.ShowClock = !live_.ShowClock;
        at(kIdShowClock).checked = live_.ShowClock;
        at(kIdRadio12).enabled = live_.ShowClock;
        at(kIdRadio24).enabled = live_.ShowClock;
        return DialogAction::Handled;
    case kIdShowFps:
        live_.ShowFPS = !live_.ShowFPS;
        at(kIdShowFps).checked = live_.ShowFPS;
        return DialogAction::Handled;
    case kIdVSync:
        live_.VSync = !live_.VSync;
        at(kIdVSync).checked = live_.VSync;
        return DialogAction::Handled;
    case kIdMouseExit:
        live_.MouseExit = !live_.MouseExit;
        at(kIdMouseExit).checked = live_.MouseExit;
        return DialogAction::Handled;
    case kIdDefGamma:
        live_.DefGamma = !live_.DefGamma;
        at(kIdDefGamma).checked = live_.DefGamma;
        // Either way the brightness goes back to neutral.
        gamma_.position = 50;
        live_.Gamma = 50;
        gamma_.enabled = !live_.DefGamma;
        at(kIdBrightnessLabel).enabled = !live_.DefGamma;
        updateBrightnessLabel();
        return DialogAction::Handled;
    case kIdRestoreDefaults:
        live_ = defaults_;
        modeList_.entries.clear();
        modeList_.selected = -1;
        fillModeList();
        selectMode(live_.UseDesktop);
        // Selecting by the record's own mode leaves the list's enabled state alone; after a
        // restore that may still be greyed from Use Desktop, so it follows the restored flag.
        modeList_.enabled = !live_.UseDesktop;
        showSettings();
        return DialogAction::Handled;
    case kIdVisit:
        return DialogAction::OpenWebPage;
    case kIdAbout:
        return DialogAction::OpenAbout;
    default:
        return DialogAction::NotHandled;
    }
}

void ConfigDialogModel::chooseMode(int index) {
    modeList_.selected = (index >= 0 && index < static_cast<int>(modeList_.entries.size())) ? index : -1;
}

void ConfigDialogModel::chooseTimeStyle(bool twelveHour) {
    at(kIdRadio12).checked = twelveHour;
    at(kIdRadio24).checked = !twelveHour;
}

void ConfigDialogModel::moveSlider(int id, int position) {
    SliderState* s = id == kIdVolumeSlider ? &volume_ : id == kIdGammaSlider ? &gamma_ : nullptr;
    if (s) s->position = std::clamp(position, s->minimum, s->maximum);
}

void ConfigDialogModel::sliderNotification(SliderCode code) {
    if (code != SliderCode::PageUp && code != SliderCode::PageDown && code != SliderCode::ThumbTrack) return;
    live_.Volume = volume_.position;
    updateVolumeLabel();
    live_.Gamma = gamma_.position;
    updateBrightnessLabel();
}

}  // namespace ravelin
