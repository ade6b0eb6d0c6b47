// The Windows platform: resource blobs of the executable (or of another module, for tests),
// owner-less message boxes, the performance counter and local time, libraries carried as
// resources (the audio library), and the full-screen run's side of the seam: display modes,
// adapters and gamma (DisplaySettings), windows, WGL, cursor and input (SaverWindows). The
// entry point (main.cpp) owns the one instance; constructing it installs it as the process's
// platform, destroying it takes it out again.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

class ResourceLibraries;
class DisplaySettings;
class SaverWindows;

class Win32Platform : public NullPlatform {
public:
    // resourceModule: the module whose resources are read (an HMODULE); 0 = the executable.
    explicit Win32Platform(uintptr_t resourceModule = 0);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Unattended runs (capture, benchmark) never wait for a person: message boxes then go to
    // the standard error stream only.
    void setNonBlocking(bool nonBlocking) { nonBlocking_ = nonBlocking; }
    // A fixed local time (captures must be reproducible); null restores the real clock.
    void setFixedLocalTime(const LocalTime* time);
    // Full-screen windows (the screensaver) or an ordinary window (unattended runs).
    void setFullScreen(bool fullScreen);
    // The show command the system started the process with.
    void setShowCommand(int showCommand);
    // Another settings store instead of the one this platform has (null: back to it).
    void setSettingsStore(SettingsStore* store) { store_ = store; }

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
    // The display's own ramp, read before the first change, put back; false when none was read.
    bool restoreGammaRamp() override;
    void showCursor(bool show) override;
    void warpCursor(WindowHandle window, int x, int y) override;
    bool pollEvent(InputEvent& event) override;

    LibraryHandle loadResourceLibrary(std::string_view type, uint16_t id) override;
    void* librarySymbol(LibraryHandle library, const char* name) override;
    void unloadLibrary(LibraryHandle library) override;
    // The temporary file a loaded library was written to (empty for an unknown handle).
    std::wstring libraryFile(LibraryHandle library) const;

private:
    uintptr_t module_;
    bool nonBlocking_ = false;
    bool hasFixedTime_ = false;
    LocalTime fixedTime_;
    std::unique_ptr<ResourceLibraries> libraries_;
    std::unique_ptr<DisplaySettings> display_;
    std::unique_ptr<SaverWindows> windows_;
    SettingsStore* store_ = nullptr;
};

// UTF-8 to the system's UTF-16 (invalid bytes become U+FFFD), and back.
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

// The process's command line split as the C runtime splits it, in UTF-8 (the first entry is the
// program).
std::vector<std::string> commandLineArguments();

}  // namespace ravelin
