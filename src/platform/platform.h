// The platform seam: every service the portable core needs from the operating system.
// The core calls platform(); a shell (src/platform/sdl) or the test fake (src/platform/fake)
// installs itself with setPlatform() for as long as it lives (its constructor installs it, its
// destructor takes it out again) before any core code runs. Whoever made the object owns it;
// the core never deletes it. NullPlatform answers every call harmlessly; a partial platform
// derives from it and overrides what it provides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelin {

// A read-only byte range that belongs to whoever handed it out (for resource blobs: the
// executable image, valid for the whole process).
struct ByteRange {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool empty() const { return size == 0; }
};

// Message texts arrive as the system's own bytes; most are ASCII, some Windows-1251.
enum class TextEncoding { Cp1251, Utf8 };

struct LocalTime {
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
};

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;  // 24-bit colour modes are reported as 32
    int refreshRate = 0;   // Hz, 0 when unknown
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One display adapter as the monitor table sees it (index order is the system's).
struct DisplayAdapter {
    bool mirroring = false;
    bool attachedToDesktop = false;
    bool primary = false;
    Rect rect;                    // desktop coordinates of the adapter's current mode
    uintptr_t monitorHandle = 0;  // 0 when the adapter shows no monitor
};

using WindowHandle = uintptr_t;  // 0 = none
using LibraryHandle = uintptr_t;  // 0 = none

enum class InputType { None, KeyDown, LeftButton, RightButton, MiddleButton, Wheel, MouseMove, Close };

struct InputEvent {
    InputType type = InputType::None;
    WindowHandle window = 0;  // the window the event arrived in
    int key = 0;              // platform key code for KeyDown
    bool systemKey = false;   // Alt held, or F10: the system's own keys
    int x = 0, y = 0;         // client coordinates for MouseMove
};

// The settings store: named 32-bit values under one per-user key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens (creating when missing) for reading or writing; false when it cannot.
    virtual bool open(bool forWriting) = 0;
    // True and value set when the named value exists and is a 32-bit number.
    virtual bool query(std::string_view name, uint32_t& value) = 0;
    virtual void set(std::string_view name, uint32_t value) = 0;
    // Ends the session; a store opened for writing commits here (atomically on disk).
    virtual void close() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- resource blobs: (type, id) -> read-only bytes; missing gives an empty range.
    virtual ByteRange findResource(std::string_view type, uint16_t id) = 0;

    // --- message boxes: owner-less, OK only. Tests capture them.
    virtual void messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) = 0;

    // --- settings store
    virtual SettingsStore& settingsStore() = 0;

    // --- clock
    virtual int64_t counter() = 0;           // high-resolution counter
    virtual int64_t counterFrequency() = 0;  // counts per second; 0 when there is no such counter
    virtual LocalTime localTime() = 0;
    // CPU seconds spent by the calling thread alone (the benchmark leaves out the driver's own
    // threads); 0 where the system cannot tell.
    virtual double threadCpuSeconds() = 0;

    // --- display modes and monitors
    virtual bool currentDisplayMode(DisplayMode& mode) = 0;
    virtual bool enumDisplayMode(int index, DisplayMode& mode) = 0;  // false past the last one
    virtual bool switchDisplayMode(const DisplayMode& mode) = 0;
    virtual void restoreDisplayMode() = 0;
    virtual bool enumDisplayAdapter(int index, DisplayAdapter& adapter) = 0;  // false past the last

    // --- windows and GL
    // The main window gets a GL context (24-bit depth, 8-bit stencil) made current on creation.
    virtual WindowHandle createMainWindow(const Rect& rect) = 0;
    virtual WindowHandle createBlankingWindow(const Rect& rect) = 0;
    virtual void showWindow(WindowHandle window) = 0;
    virtual void closeWindow(WindowHandle window) = 0;
    virtual bool clientSize(WindowHandle window, int& width, int& height) = 0;
    virtual void* glProcAddress(const char* name) = 0;
    virtual bool setSwapInterval(int interval) = 0;  // false when the driver offers no control
    virtual void swapBuffers() = 0;
    virtual void destroyGlContext() = 0;
    // 768 entries: red, green, blue ramps of 256 each. False when refused or unsupported.
    virtual bool setGammaRamp(const uint16_t* ramp) = 0;

    // --- cursor
    virtual void showCursor(bool show) = 0;
    // Moves the cursor to client coordinates of the window.
    virtual void warpCursor(WindowHandle window, int x, int y) = 0;

    // --- input: non-blocking; false when the queue is empty.
    virtual bool pollEvent(InputEvent& event) = 0;

    // --- a library carried as a resource blob (the audio library of the Windows build): written
    // to a temporary file of its own and loaded from there; unloading frees it and deletes the
    // file. A platform that carries no such library keeps these defaults.
    virtual LibraryHandle loadResourceLibrary(std::string_view type, uint16_t id) { return 0; }
    virtual void* librarySymbol(LibraryHandle library, const char* name) { return nullptr; }
    virtual void unloadLibrary(LibraryHandle library) {}
};

// No resources, windows, clock or input; messages go to stderr; the settings store never
// opens. Installed whenever no other platform is.
class NullPlatform : public Platform {
public:
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
};

Platform& platform();
// Installs an implementation; null puts the null platform back.
void setPlatform(Platform* implementation);

// Windows-1251 bytes to UTF-8 (for showing system texts on a UTF-8 desktop). Text already in
// UTF-8 is passed through unchanged by toUtf8.
std::string cp1251ToUtf8(std::string_view text);
std::string toUtf8(std::string_view text, TextEncoding encoding);

}  // namespace ravelin
