// The full-screen run's windows on Win32: the classes "MyWindow" (the main window, whose
// creation message sets up its device context and WGL context) and "FakeMonitor" (black
// windows over the other monitors), the main window's procedure, which turns input into the
// platform's InputEvents, and the message pump behind pollEvent. Win32Platform owns one
// SaverWindows and forwards the window, GL, cursor and input calls of the seam to it.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

// Events the window procedure produced and the run has not read yet. A fixed ring: the pump
// reads one message at a time and a message yields at most a couple of events, so it never
// fills in practice; when it does, the newest mouse moves are what is dropped.
class InputQueue {
public:
    void push(const InputEvent& event);
    bool pop(InputEvent& event);
    void clear() { head_ = size_ = 0; }
    size_t size() const { return size_; }

private:
    std::array<InputEvent, 32> events_{};
    size_t head_ = 0, size_ = 0;
};

class SaverWindows {
public:
    explicit SaverWindows(HINSTANCE instance) : instance_(instance) {}
    ~SaverWindows();
    SaverWindows(const SaverWindows&) = delete;
    SaverWindows& operator=(const SaverWindows&) = delete;

    // Full screen: topmost pop-ups over the given rectangles (the screensaver). Otherwise the
    // main window is an ordinary framed window whose client area has the rectangle's size and
    // no blanking windows are made (capture, benchmark, tests).
    void setFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }
    // The show command the system started the process with, passed to every ShowWindow.
    void setShowCommand(int showCommand) { showCommand_ = showCommand; }

    // 0 when the window, its pixel format or its GL context cannot be made (nothing is left
    // behind then). One main window at a time.
    WindowHandle createMainWindow(const Rect& rect);
    WindowHandle createBlankingWindow(const Rect& rect);
    void showWindow(WindowHandle window);
    // Minimised, then destroyed; once the last window is gone the classes are unregistered.
    void closeWindow(WindowHandle window);
    bool clientSize(WindowHandle window, int& width, int& height) const;

    void* glProcAddress(const char* name) const;
    bool setSwapInterval(int interval) const;
    void swapBuffers() const;
    // No context current, the context deleted, the main window's device context released.
    void destroyGlContext();
    // The main window's own device context (the gamma ramp is set through it); null when none.
    HDC deviceContext() const { return dc_; }

    void warpCursor(WindowHandle window, int x, int y) const;
    bool pollEvent(InputEvent& event);

    HWND mainWindow() const { return main_; }

private:
    static LRESULT CALLBACK mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool registerClasses();
    void unregisterClasses();
    void report(InputType type, HWND window, int key = 0, bool systemKey = false, int x = 0, int y = 0);
    bool createContext(HWND window);

    HINSTANCE instance_;
    bool fullScreen_ = true;
    int showCommand_ = SW_SHOWNORMAL;
    bool classesRegistered_ = false;
    HWND main_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    std::vector<HWND> windows_;  // every window made and not yet closed, main window first
    InputQueue queue_;
};

// Fills a pixel format descriptor for the main window: double-buffered RGBA, 32 colour bits,
// 24 depth and 8 stencil bits, drawn to a window through OpenGL.
PIXELFORMATDESCRIPTOR mainPixelFormat();

}  // namespace ravelin
