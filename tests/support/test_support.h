// Helpers every test folder shares: whole files as bytes (test data, the checkout's own files,
// the generated archive), the settings record the factory text gives, and whether a display
// is there for the GL tests. Test targets get RAVELIN_SOURCE_DIR and RAVELIN_ASSET_DIR from
// tests/CMakeLists.txt.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace ravelin::testing {

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file of the checkout, by its path from the top ("resources/ui_text.txt").
inline std::vector<uint8_t> readSourceFile(const std::string& relative) {
    return readFile(std::string(RAVELIN_SOURCE_DIR) + "/" + relative);
}

// The same as text.
inline std::string readSourceText(const std::string& relative) {
    const std::vector<uint8_t> bytes = readSourceFile(relative);
    return std::string(bytes.begin(), bytes.end());
}

// The archive the content generator made for this build; empty before it exists.
inline std::vector<uint8_t> generatedArchive() { return readFile(std::string(RAVELIN_ASSET_DIR) + "/archive.rar"); }

// The record a first run builds from the factory settings text (the desktop mode not yet
// applied over Width, Height and Depth).
inline ScreensaverSettings factorySettings() {
    ScreensaverSettings s;
    s.EnableMusic = s.EnableSFX = s.ShowClock = s.UseDesktop = s.DefGamma = s.TimeFormat = true;
    s.Volume = 75;
    s.Gamma = 50;
    s.Width = 800;
    s.Height = 600;
    s.Depth = 32;
    return s;
}

// Whether DISPLAY names a display (the GL tests skip without one; scripts/with_display.sh
// gives them a virtual one).
inline bool haveDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d != nullptr && *d != '\0';
}

}  // namespace ravelin::testing
