// The dialog texts as the embedded UI text table has them, for tests that need labels without
// loading the table.
#pragma once

#include <map>
#include <string>

namespace {

inline const std::map<std::string, std::string> kTexts = {
    {"screensaver_configuration", "Ravelin Configuration"},
    {"video_mode_selection", "Video Mode"},
    {"use_desktop_settings", "Use Desktop Settings"},
    {"vsync", "VSync"},
    {"sound_control", "Sound Control"},
    {"master_volume:", "Volume"},
    {"enable_music", "Enable Music"},
    {"enable_sfx", "Enable SFX"},
    {"gamma_control", "Gamma Control"},
    {"brightness", "Brightness"},
    {"use_by_default", "Use Default Setting"},
    {"options", "Options"},
    {"show_fps", "Show FPS"},
    {"show_time", "Show Time"},
    {"12h_style", "12 hrs"},
    {"24h_style", "24 hrs"},
    {"exit_on_mouse_move", "Exit On Mouse Move"},
    {"products", "Products"},
    {"visit_our_official_web-site", "Visit Our Official web-site for more great 3D screensavers"},
    {"visit...", "Visit..."},
    {"about", "About"},
    {"restore_defaults", "Restore Defaults"},
    {"ok", "OK"},
    {"cancel", "Cancel"},
};

inline std::string testText(std::string_view key) {
    auto it = kTexts.find(std::string(key));
    return it == kTexts.end() ? std::string("?") : it->second;
}

}  // namespace
