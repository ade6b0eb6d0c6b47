// The Windows platform: resource blobs of the executable (or of another module, for tests),
// owner-less message boxes, the performance counter, local time and the thread's CPU time, and
// libraries carried as resources (the audio library), the primary display's modes, and the
// settings store the entry point hands it (the registry). Windows, GL and input come with the
// screensaver's Win32 shell; until then those calls answer as the null platform does (no
// display; without a store set, one that never opens, so every value keeps its default and
// nothing is written). Constructing one installs it for as long as it lives.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace ravelin {

class ResourceLibraries;

class Win32Platform : public NullPlatform {
public:
    // resourceModule: the module whose resources are read (an HMODULE); 0 = the executable.
    explicit Win32Platform(uintptr_t resourceModule = 0);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    ByteRange findResource(std::string_view type, uint16_t id) override;
    void messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) override;
    SettingsStore& settingsStore() override;
    // Replaces the null platform's store, which keeps nothing, with a real one (null: back to it).
    void setSettingsStore(SettingsStore* store) { store_ = store; }
    int64_t counter() override;
    int64_t counterFrequency() override;
    LocalTime localTime() override;
    double threadCpuSeconds() override;

    bool currentDisplayMode(DisplayMode& mode) override;
    bool enumDisplayMode(int index, DisplayMode& mode) override;

    LibraryHandle loadResourceLibrary(std::string_view type, uint16_t id) override;
    void* librarySymbol(LibraryHandle library, const char* name) override;
    void unloadLibrary(LibraryHandle library) override;
    // The temporary file a loaded library was written to (empty for an unknown handle).
    std::wstring libraryFile(LibraryHandle library) const;

private:
    uintptr_t module_;
    std::unique_ptr<ResourceLibraries> libraries_;
    SettingsStore* store_ = nullptr;
};

// UTF-8 to the system's UTF-16 (invalid bytes become U+FFFD).
std::wstring utf8ToWide(std::string_view text);

}  // namespace ravelin
