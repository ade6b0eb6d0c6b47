// The Windows platform: resource blobs of the executable (or of another module, for tests),
// owner-less message boxes, the performance counter and local time, and libraries carried as
// resources (the audio library). Windows, GL, display modes, input and the registry store come
// with the screensaver's Win32 shell; until then those calls answer as a platform without a
// display does. The entry point (main.cpp) owns the one instance and installs it.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace ravelin {

class ResourceLibraries;

class Win32Platform : public Platform {
public:
    // resourceModule: the module whose resources are read (an HMODULE); 0 = the executable.
    explicit Win32Platform(uintptr_t resourceModule = 0);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    ByteRange findResource(std::string_view type, uint16_t id) override;
    void messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) override;
    SettingsStore& settingsStore() override;
    // Replaces the store that keeps nothing with a real one (null: back to that store).
    void setSettingsStore(SettingsStore* store) { store_ = store; }
    int64_t counter() override;
    int64_t counterFrequency() override;
    LocalTime localTime() override;

    bool currentDisplayMode(DisplayMode& mode) override;
    bool enumDisplayMode(int index, DisplayMode& mode) override;
    bool switchDisplayMode(const DisplayMode& mode) override { return false; }
    void restoreDisplayMode() override {}
    bool enumDisplayAdapter(int index, DisplayAdapter& adapter) override { return false; }
    WindowHandle createMainWindow(const Rect& rect) override { return 0; }
    WindowHandle createBlankingWindow(const Rect& rect) override { return 0; }
    void showWindow(WindowHandle window) override {}
    void closeWindow(WindowHandle window) override {}
    bool clientSize(WindowHandle window, int& width, int& height) override { return false; }
    void* glProcAddress(const char* name) override { return nullptr; }
    bool setSwapInterval(int interval) override { return false; }
    void swapBuffers() override {}
    void destroyGlContext() override {}
    bool setGammaRamp(const uint16_t* ramp) override { return false; }
    void showCursor(bool show) override {}
    void warpCursor(WindowHandle window, int x, int y) override {}
    bool pollEvent(InputEvent& event) override { return false; }

    LibraryHandle loadResourceLibrary(std::string_view type, uint16_t id) override;
    void* librarySymbol(LibraryHandle library, const char* name) override;
    void unloadLibrary(LibraryHandle library) override;
    // The temporary file a loaded library was written to (empty for an unknown handle).
    std::wstring libraryFile(LibraryHandle library) const;

private:
    uintptr_t module_;
    std::unique_ptr<ResourceLibraries> libraries_;
    std::unique_ptr<SettingsStore> unsavedStore_;
    SettingsStore* store_ = nullptr;
};

// UTF-8 to the system's UTF-16 (invalid bytes become U+FFFD).
std::wstring utf8ToWide(std::string_view text);

}  // namespace ravelin
