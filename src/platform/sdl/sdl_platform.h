// SdlPlatform: the Linux implementation of the platform seam on SDL2 (window, GL 1.x
// compatibility context, input, cursor, display modes, gamma) with resources from the blobs
// linked into the executable. main.cpp (and the tools that draw) own one instance; it installs
// itself as the platform while it lives.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/x11_support.h"

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
    // Shows an owner-less box in this process (the shell's GTK one); false when it cannot, and
    // the text then goes to stderr. Without one every box goes to stderr.
    using MessageBoxShower = bool (*)(const std::string& text, const std::string& caption);
    void setMessageBoxShower(MessageBoxShower shower) { messageBoxShower_ = shower; }
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
    bool restoreGammaRamp() override;
    void showCursor(bool show) override;
    void warpCursor(WindowHandle window, int x, int y) override;
    bool pollEvent(InputEvent& event) override;
    bool endRequested() override;

private:
    void paintBlack(SDL_Window* window);
    // The display whose whole rectangle this is and that has no window yet (marked taken); -1
    // when none is.
    int takeDisplay(const Rect& rect);
    // Hands the heap's free pages back to the system now and then (called after each frame).
    void returnFreedMemory();
    bool isXBlank(WindowHandle window) const;

    bool videoReady_ = false;
    bool nonBlocking_ = false;
    bool closeDelivered_ = false;  // the one close request of a signal or a lost window
    bool hostLost_ = false;        // the host destroyed the window we draw into
    bool fullScreen_ = true;
    bool hasFixedTime_ = false;
    LocalTime fixedTime_;
    bool modeSwitched_ = false;
    DisplayMode requestedMode_;
    unsigned long hostWindow_ = 0;
    SDL_Window* mainWindow_ = nullptr;
    std::vector<SDL_Window*> blankingWindows_;
    std::vector<x11::DisplayPlace> places_;  // per display: its X screen, whether a clone
    std::vector<bool> usedDisplays_;         // per display: a window of the run is on it
    // Black windows on other X screens, made below SDL; handles point at their entries.
    std::array<unsigned long, 9> xBlanks_{};
    size_t xBlankCount_ = 0;
    void* glContext_ = nullptr;
    SettingsStore* store_ = nullptr;
    MessageBoxShower messageBoxShower_ = nullptr;
    std::unique_ptr<SettingsStore> fileStore_;  // the per-user settings file
    uint64_t lastMemoryReturn_ = 0;              // SDL ticks of the last returnFreedMemory
};

}  // namespace ravelin
