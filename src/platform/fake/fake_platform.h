// A scriptable platform for tests: records every call by name, answers from fields the test
// sets, keeps settings in memory and captures message boxes instead of showing them.
// Tests own the FakePlatform; constructing one installs it, destroying it uninstalls it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

class MemorySettingsStore final : public SettingsStore {
public:
    bool open(bool forWriting) override;
    bool query(std::string_view name, uint32_t& value) override;
    void set(std::string_view name, uint32_t value) override;
    void close() override;

    std::map<std::string, uint32_t> values;
    bool failOpen = false;  // simulate a key that cannot be opened
    bool isOpen = false;
    std::vector<std::string> log;  // "open r", "query Width", "set Width=800", "close"
};

struct CapturedMessage {
    std::string text;     // converted to UTF-8
    std::string caption;  // converted to UTF-8
    std::string rawText;  // the bytes as given
};

class FakePlatform final : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Registers a blob; the bytes are copied and stay valid as long as the fake lives.
    void addResource(std::string_view type, uint16_t id, std::vector<uint8_t> bytes);
    void addResource(std::string_view type, uint16_t id, std::string_view bytes);

    ByteRange findResource(std::string_view type, uint16_t id) override;
    void messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) override;
    SettingsStore& settingsStore() override { return storeOverride ? *storeOverride : store; }
    int64_t counter() override;
    int64_t counterFrequency() override;
    LocalTime localTime() override;
    double threadCpuSeconds() override { return cpuSeconds; }
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
    bool endRequested() override { return endRequest; }
    // A library "carried as a resource" is the table libraryExports (none when it is empty).
    LibraryHandle loadResourceLibrary(std::string_view type, uint16_t id) override;
    void* librarySymbol(LibraryHandle library, const char* name) override;
    void unloadLibrary(LibraryHandle library) override;

    // Every call in order, as "name" or "name args" (findResource, counter and localTime are
    // not recorded: they are queries made many times).
    std::vector<std::string> calls;
    std::vector<CapturedMessage> messages;
    // Message boxes shown so far. With captureMessages off they are only counted: neither
    // converted nor kept nor logged in `calls` (the fuzz targets, whose inputs can raise
    // thousands each).
    size_t messageCount = 0;
    bool captureMessages = true;
    MemorySettingsStore store;
    SettingsStore* storeOverride = nullptr;  // when set, handed out instead of `store` (a real file store)

    // Scripted answers.
    int64_t counterValue = 0;
    int64_t counterStep = 0;  // added after each counter() read
    int64_t frequency = 1000000;
    LocalTime time{12, 34, 56};
    double cpuSeconds = 0.0;
    bool hasCurrentMode = true;
    DisplayMode desktopMode{1280, 1024, 32, 60};
    std::vector<DisplayMode> modes;
    std::vector<DisplayAdapter> adapters;
    bool switchOk = true;  // answer of switchDisplayMode
    bool failWindows = false;
    int nextWindow = 1;
    int clientWidth = 800, clientHeight = 600;
    bool swapControl = true;
    bool gammaOk = true;
    bool gammaRestorable = false;  // answer of restoreGammaRamp (a ramp was read before the change)
    std::vector<uint16_t> lastGammaRamp;
    std::vector<InputEvent> events;  // popped from the front by pollEvent
    bool endRequest = false;         // answer of endRequested (a termination signal)
    std::map<std::string, void*> libraryExports;  // name -> address
    std::vector<std::string> librarySymbolsAsked;  // every name librarySymbol was asked for

private:
    std::map<std::pair<std::string, uint16_t>, std::vector<uint8_t>> resources_;
};

}  // namespace ravelin
