// SdlPlatform: the Linux implementation of the platform seam on SDL2 (window, GL 1.x
// compatibility context, input, cursor, display modes, gamma) with resources from the blobs
// linked into the executable. main.cpp (and the tools that draw) own one instance; it installs
// itself as the platform while it lives.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"

struct SDL_Window;

namespace ravelin {

class SdlPlatform final : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // False when SDL's video subsystem could not start (no display at all).
    bool videoAvailable() const { return videoReady_; }
    // Capture, benchmark and hosted runs must never wait for a person: message boxes then go
    // to stderr only.
    void setNonBlocking(bool nonBlocking) { nonBlocking_ = nonBlocking; }
    // A fixed local time (capture runs must be reproducible); null restores the real clock.
    void setFixedLocalTime(const LocalTime* time);
    // Windows are created full screen unless this is turned off (capture and benchmark runs
    // use an ordinary window of the requested size).
    void setFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }
    // Replaces the per-user settings file with another store (null: back to the file).
    void setSettingsStore(SettingsStore* store) { store_ = store; }
    // Hosted runs (xscreensaver): the main window is this X window of another program, drawn
    // with its own visual; it is never minimised, warped over or given a gamma ramp.
    void setHostWindow(unsigned long window) { hostWindow_ = window; }

    ByteRange findResource(std::string_view type, uint16_t id) override;
    void messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) override;
    SettingsStore& settingsStore() override;
    int64_t counter() override;
    int64_t counterFrequency() override;
    LocalTime localTime() override;
    double threadCpuSeconds() override;
    bool currentDisplayMode(DisplayMode& mode) override;
    bool enumDisplayMode(int index, DisplayMode& mode) override;
    bool switchDisplayMode(const DisplayMode& mode) override;
    void restoreDisplayMode() override;
    bool enumDisplayAdapter(int index, DisplayAdapter& adapter) override;
    WindowHandle createMainWindow(const Rect& rect) override;
    WindowHandle createBlankingWindow(const Rect& rect) override;
    void showWindow(WindowHandle window) override;
    void closeWindow(WindowHandle window) override;
    bool clientSize(WindowHandle window, int& width, int& height) override;
    void* glProcAddress(const char* name) override;
    bool setSwapInterval(int interval) override;
    void swapBuffers() override;
    void destroyGlContext() override;
    bool setGammaRamp(const uint16_t* ramp) override;
    void showCursor(bool show) override;
    void warpCursor(WindowHandle window, int x, int y) override;
    bool pollEvent(InputEvent& event) override;

private:
    static void paintBlack(SDL_Window* window);

    bool videoReady_ = false;
    bool nonBlocking_ = false;
    bool fullScreen_ = true;
    bool hasFixedTime_ = false;
    LocalTime fixedTime_;
    bool modeSwitched_ = false;
    DisplayMode requestedMode_;
    unsigned long hostWindow_ = 0;
    SDL_Window* mainWindow_ = nullptr;
    std::vector<SDL_Window*> blankingWindows_;
    void* glContext_ = nullptr;
    SettingsStore* store_ = nullptr;
    std::unique_ptr<SettingsStore> fileStore_;  // the per-user settings file
};

}  // namespace ravelin
