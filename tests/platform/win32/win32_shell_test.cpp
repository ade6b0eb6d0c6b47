// The Win32 shell under Wine: the main window's messages arrive as the run's input events, the
// full-screen windows have their classes, styles and swallowed system commands, and the built
// screensaver, started as the system starts it, runs full screen until a close request, lives in
// a preview host's window until that window goes, and captures the same pictures as the Linux
// build.
#include <gtest/gtest.h>

#include <windows.h>

#include <GL/gl.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/saver_run.h"
#include "app/screensaver_app.h"
#include "platform/win32/win32_platform.h"

namespace ravelin {
namespace {

HWND windowOf(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

// The next event the platform reports, skipping messages that produced none.
InputEvent nextEvent(Win32Platform& win32) {
    InputEvent event;
    for (int i = 0; i < 1000; ++i)
        if (win32.pollEvent(event) && event.type != InputType::None) return event;
    return InputEvent{};
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Unix paths from the build as Wine's drive Z: sees them.
std::wstring windowsPath(const std::string& path) {
    std::wstring wide = utf8ToWide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return path.size() && path[0] == '/' ? L"Z:" + wide : wide;
}

// Runs this thread's messages while waiting: a child window in another process is created and
// destroyed through messages sent to its parent's thread.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

// The built screensaver started with a command line, as the system starts it.
class Saver {
public:
    explicit Saver(const std::wstring& arguments) {
        std::wstring line = L"\"" + windowsPath(RAVELIN_SCR) + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
    }
    ~Saver() {
        if (!started_) return;
        if (running()) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }
    bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit status once it ended within the time; -1 otherwise.
    long exitCode(DWORD timeoutMs) const {
        if (!pumpUntil([&] { return !running(); }, timeoutMs)) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }
    bool owns(HWND window) const {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        return window && pid == process_.dwProcessId;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

// A top-level window of the test's own that the screensaver's preview moves into.
HWND makeHostWindow(int width, int height) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PreviewHost";
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) return nullptr;
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, L"PreviewHost", L"Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

bool readPng(const std::wstring& path, Picture& picture) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_stdio(&image, file) != 0;
    if (ok) {
        image.format = PNG_FORMAT_RGB;
        picture.width = static_cast<int>(image.width);
        picture.height = static_cast<int>(image.height);
        picture.rgb.resize(PNG_IMAGE_SIZE(image));
        ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    }
    png_image_free(&image);
    std::fclose(file);
    return ok;
}

std::wstring temporaryFolder(const wchar_t* name) {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    std::wstring folder = std::wstring(base) + name + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

TEST(Win32Shell, MainWindowMessagesBecomeTheRunsInputEvents) {
    Win32Platform win32;
    win32.setFullScreen(false);
    const WindowHandle main = win32.createMainWindow({0, 0, 320, 240});
    ASSERT_NE(main, 0u);
    // The creation message made a GL context current on the window.
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(win32.clientSize(main, width, height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    win32.showWindow(main);
    InputEvent drained;
    while (win32.pollEvent(drained)) {
    }

    HWND window = windowOf(main);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 30));
    InputEvent move = nextEvent(win32);
    EXPECT_EQ(move.type, InputType::MouseMove);
    EXPECT_EQ(move.window, main);
    EXPECT_EQ(move.x, 200);
    EXPECT_EQ(move.y, 30);

    // The system's keys and the middle button and wheel reach the run without ending it.
    SaverInput input(main, width, height, false);
    SendMessageW(window, WM_SYSKEYDOWN, VK_F10, 0);
    InputEvent f10 = nextEvent(win32);
    EXPECT_EQ(f10.type, InputType::KeyDown);
    EXPECT_TRUE(f10.systemKey);
    input.handle(f10);
    SendMessageW(window, WM_MBUTTONDOWN, 0, 0);
    EXPECT_EQ(nextEvent(win32).type, InputType::MiddleButton);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(nextEvent(win32).type, InputType::Wheel);
    EXPECT_FALSE(input.quitPosted());

    SendMessageW(window, WM_KEYDOWN, 'A', 0);
    InputEvent key = nextEvent(win32);
    EXPECT_EQ(key.type, InputType::KeyDown);
    EXPECT_FALSE(key.systemKey);
    EXPECT_EQ(key.key, 'A');
    input.handle(key);
    EXPECT_TRUE(input.quitPosted());

    SendMessageW(window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(nextEvent(win32).type, InputType::LeftButton);
    SendMessageW(window, WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(nextEvent(win32).type, InputType::RightButton);
    // A close request leaves the window to the run's shutdown.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(nextEvent(win32).type, InputType::Close);
    EXPECT_TRUE(IsWindow(window));
    // So does a quit posted to the thread.
    PostQuitMessage(0);
    InputEvent quit = nextEvent(win32);
    EXPECT_EQ(quit.type, InputType::Close);
    EXPECT_EQ(quit.window, main);

    win32.destroyGlContext();
    win32.closeWindow(main);
    EXPECT_FALSE(IsWindow(window));
}

TEST(Win32Shell, FullScreenWindowsAreTopmostPopUpsThatSwallowSystemCommands) {
    Win32Platform win32;
    ScreensaverApp app;
    buildMonitorTable(app);
    ASSERT_GE(app.monitorCount, 1u);
    const MonitorSlot& primary = app.monitors[0];
    ASSERT_NE(primary.monitor, 0u);
    EXPECT_EQ(primary.rect.left, 0);
    EXPECT_EQ(primary.rect.top, 0);
    DisplayMode mode;
    ASSERT_TRUE(win32.currentDisplayMode(mode));
    EXPECT_EQ(primary.rect.right, mode.width);
    EXPECT_EQ(primary.rect.bottom, mode.height);

    const WindowHandle main = win32.createMainWindow(primary.rect);
    const WindowHandle blank = win32.createBlankingWindow({0, 0, 200, 100});
    ASSERT_NE(main, 0u);
    ASSERT_NE(blank, 0u);
    HWND window = windowOf(main);
    EXPECT_EQ(className(window), L"MyWindow");
    EXPECT_EQ(className(windowOf(blank)), L"FakeMonitor");
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    EXPECT_EQ(std::wstring(title), L"Ravelin");
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(windowOf(blank), GWL_STYLE) & WS_VISIBLE);

    // The screensaver request and Alt+F4's close are swallowed: the window stays, nothing ends.
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(nextEvent(win32).type, InputType::None);

    win32.destroyGlContext();
    win32.closeWindow(blank);
    win32.closeWindow(main);
    EXPECT_FALSE(IsWindow(window));
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), L"MyWindow", &info)) << "class left registered";
}

// The ramp the run changes is read first and put back at the end, not replaced by a linear one.
TEST(Win32Shell, GammaRampInForceBeforeTheRunIsPutBack) {
    Win32Platform win32;
    win32.setFullScreen(false);
    const WindowHandle main = win32.createMainWindow({0, 0, 64, 64});
    ASSERT_NE(main, 0u);
    HDC dc = GetDC(windowOf(main));
    WORD before[768];
    const bool readable = GetDeviceGammaRamp(dc, before) != FALSE;
    uint16_t darker[768];
    for (int i = 0; i < 768; ++i) darker[i] = static_cast<uint16_t>((i % 256) * 128);
    const bool set = win32.setGammaRamp(darker);
    const bool restored = win32.restoreGammaRamp();
    WORD after[768];
    const bool readBack = GetDeviceGammaRamp(dc, after) != FALSE;
    ReleaseDC(windowOf(main), dc);
    win32.destroyGlContext();
    win32.closeWindow(main);
    if (!readable || !set) GTEST_SKIP() << "this display has no gamma ramp to set";
    EXPECT_TRUE(restored);
    ASSERT_TRUE(readBack);
    EXPECT_TRUE(std::equal(before, before + 768, after));
}

// No sound device here (no ALSA configuration is given): the run is silent and otherwise whole.
TEST(Win32Shell, FullScreenRunEndsOnACloseRequestWithTheDesktopModeBack) {
    Win32Platform win32;
    DisplayMode before;
    ASSERT_TRUE(win32.currentDisplayMode(before));
    Saver saver(L"/s");
    ASSERT_TRUE(saver.started());
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return saver.owns(window = FindWindowW(L"MyWindow", L"Ravelin")) || !saver.running(); },
                          60000));
    ASSERT_TRUE(saver.running());
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, before.width);
    EXPECT_EQ(r.bottom - r.top, before.height);
    // The loop answers sent messages once everything is loaded.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 240000, &answer));
    for (auto [message, wParam] : {std::pair<UINT, WPARAM>{WM_SYSCOMMAND, SC_SCREENSAVE}, {WM_SYSCOMMAND, SC_CLOSE},
                                   {WM_SYSKEYDOWN, VK_F10}, {WM_MBUTTONDOWN, 0}, {WM_NULL, 0}})
        SendMessageTimeoutW(window, message, wParam, 0, SMTO_NORMAL, 30000, &answer);
    EXPECT_TRUE(saver.running()) << "ended by a system command, F10 or the middle button";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.exitCode(60000), 0);
    DisplayMode after;
    ASSERT_TRUE(win32.currentDisplayMode(after));
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    EXPECT_EQ(after.bitsPerPixel, before.bitsPerPixel);
}

TEST(Win32Shell, PreviewLivesInTheHostsWindowUntilItIsDestroyed) {
    HWND host = makeHostWindow(200, 150);
    ASSERT_NE(host, nullptr);
    Saver saver(L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(host)));
    ASSERT_TRUE(saver.started());
    HWND child = nullptr;
    EXPECT_TRUE(pumpUntil([&] { return (child = FindWindowExW(host, nullptr, L"SSPreview", L"PreviewWindow")) ||
                                       !saver.running(); },
                          60000));
    ASSERT_NE(child, nullptr) << "no preview window in the host";
    EXPECT_TRUE(saver.owns(child));
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 150);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(saver.running());

    DestroyWindow(host);
    EXPECT_EQ(saver.exitCode(30000), 0);
}

// Frames of the same seed: not black, not one colour, moving, and the first one as the Linux
// build draws it (both go through Mesa's software rasteriser).
TEST(Win32Shell, CaptureDrawsTheRaceAsTheLinuxBuildDoes) {
    const std::wstring frames = temporaryFolder(L"ravelin-capture-");
    Saver saver(L"--capture \"" + frames + L"\" --frames 9 --every 4 --seed 2 --size 320x240");
    ASSERT_TRUE(saver.started());
    ASSERT_EQ(saver.exitCode(240000), 0);
    std::vector<Picture> pictures;
    for (const wchar_t* name : {L"frame_00000.png", L"frame_00004.png", L"frame_00008.png"}) {
        Picture picture;
        ASSERT_TRUE(readPng(frames + L"\\" + name, picture));
        EXPECT_EQ(picture.width, 320);
        EXPECT_EQ(picture.height, 240);
        long sum = 0;
        size_t differing = 0;
        for (size_t i = 0; i < picture.rgb.size(); ++i) {
            sum += picture.rgb[i];
            if (picture.rgb[i] != picture.rgb[i % 3]) ++differing;
        }
        EXPECT_GT(sum / static_cast<long>(picture.rgb.size()), 8) << "black";
        EXPECT_GT(differing, picture.rgb.size() / 10) << "one colour";
        pictures.push_back(std::move(picture));
        DeleteFileW((frames + L"\\" + name).c_str());
    }
    RemoveDirectoryW(frames.c_str());
    for (size_t i = 1; i < pictures.size(); ++i) EXPECT_NE(pictures[i].rgb, pictures[i - 1].rgb);

    const char* linuxFrames = std::getenv("RAVELIN_LINUX_CAPTURE_DIR");
    if (!linuxFrames) GTEST_SKIP() << "no Linux capture to compare with";
    Picture reference;
    ASSERT_TRUE(readPng(windowsPath(std::string(linuxFrames) + "/frame_00000.png"), reference));
    ASSERT_EQ(reference.rgb.size(), pictures[0].rgb.size());
    long total = 0;
    size_t offCount = 0;
    for (size_t i = 0; i < reference.rgb.size(); ++i) {
        const int d = std::abs(reference.rgb[i] - pictures[0].rgb[i]);
        total += d;
        if (d > 32) ++offCount;
    }
    const double mean = static_cast<double>(total) / reference.rgb.size();
    std::printf("first frame against Linux: mean difference %.3f, %zu of %zu values off by more than 32\n", mean,
                offCount, reference.rgb.size());
    EXPECT_LT(mean, 1.0);
    EXPECT_LT(offCount, reference.rgb.size() / 100);
}

}  // namespace
}  // namespace ravelin
