#include "platform/win32/saver_windows.h"

#include <windowsx.h>

#include <algorithm>

namespace ravelin {
namespace {

constexpr wchar_t kMainClass[] = L"MyWindow";
constexpr wchar_t kBlankingClass[] = L"FakeMonitor";
constexpr wchar_t kTitle[] = L"Ravelin";
constexpr WORD kIcon = 111;

WindowHandle handleOf(HWND window) { return reinterpret_cast<WindowHandle>(window); }
HWND windowOf(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

// Some drivers answer wglGetProcAddress with small integers or -1 instead of null.
void* validProc(PROC proc) {
    const auto value = reinterpret_cast<intptr_t>(proc);
    if (value >= -1 && value <= 3) return nullptr;
    return reinterpret_cast<void*>(proc);
}

}  // namespace

void InputQueue::push(const InputEvent& event) {
    if (size_ == events_.size()) {
        // A full ring keeps what ends or changes the run: a further move is dropped, anything
        // else takes the newest slot.
        if (event.type == InputType::MouseMove) return;
        events_[(head_ + size_ - 1) % events_.size()] = event;
        return;
    }
    events_[(head_ + size_) % events_.size()] = event;
    ++size_;
}

bool InputQueue::pop(InputEvent& event) {
    if (size_ == 0) return false;
    event = events_[head_];
    head_ = (head_ + 1) % events_.size();
    --size_;
    return true;
}

PIXELFORMATDESCRIPTOR mainPixelFormat() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

SaverWindows::~SaverWindows() {
    destroyGlContext();
    while (!windows_.empty()) closeWindow(handleOf(windows_.back()));
    unregisterClasses();
}

bool SaverWindows::registerClasses() {
    if (classesRegistered_) return true;
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    main.lpfnWndProc = mainProcedure;
    main.hInstance = instance_;
    main.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(kIcon));
    main.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    main.lpszClassName = kMainClass;
    WNDCLASSEXW blanking = main;
    blanking.style = CS_HREDRAW | CS_VREDRAW;
    blanking.lpfnWndProc = DefWindowProcW;
    blanking.lpszClassName = kBlankingClass;
    // A class left registered by an earlier run in this process is as good as a new one.
    auto registered = [](const WNDCLASSEXW& c) {
        return RegisterClassExW(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    };
    classesRegistered_ = registered(main) && registered(blanking);
    return classesRegistered_;
}

void SaverWindows::unregisterClasses() {
    if (!classesRegistered_) return;
    UnregisterClassW(kMainClass, instance_);
    UnregisterClassW(kBlankingClass, instance_);
    classesRegistered_ = false;
}

WindowHandle SaverWindows::createMainWindow(const Rect& rect) {
    if (main_ || !registerClasses()) return 0;
    queue_.clear();
    DWORD exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    if (!fullScreen_) {
        // An ordinary window whose client area, not its frame, has the asked size.
        exStyle = WS_EX_APPWINDOW;
        style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    // The creation message (handled below) sets up the device and GL contexts.
    HWND window = CreateWindowExW(exStyle, kMainClass, kTitle, style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, instance_, this);
    if (window && context_) {
        main_ = window;
        windows_.insert(windows_.begin(), window);
        return handleOf(window);
    }
    // Without a context nothing could be drawn: the run gives the desktop back instead.
    main_ = window;
    destroyGlContext();
    main_ = nullptr;
    if (window) DestroyWindow(window);
    queue_.clear();
    if (windows_.empty()) unregisterClasses();
    return 0;
}

WindowHandle SaverWindows::createBlankingWindow(const Rect& rect) {
    if (!registerClasses()) return 0;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_TOPMOST, kBlankingClass, kTitle, WS_POPUP | WS_VISIBLE,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                  nullptr, instance_, nullptr);
    if (window) windows_.push_back(window);
    return handleOf(window);
}

void SaverWindows::showWindow(WindowHandle handle) {
    HWND window = windowOf(handle);
    ShowWindow(window, showCommand_);
    if (window == main_) SetFocus(main_);
}

void SaverWindows::closeWindow(WindowHandle handle) {
    HWND window = windowOf(handle);
    auto found = std::find(windows_.begin(), windows_.end(), window);
    if (found == windows_.end()) return;
    if (window == main_) destroyGlContext();
    CloseWindow(window);
    DestroyWindow(window);
    windows_.erase(found);
    if (window == main_) main_ = nullptr;
    // The close requests the destruction itself reported belong to no run.
    queue_.clear();
    if (windows_.empty()) unregisterClasses();
}

bool SaverWindows::clientSize(WindowHandle handle, int& width, int& height) const {
    RECT r;
    if (!GetClientRect(windowOf(handle), &r)) return false;
    width = r.right - r.left;
    height = r.bottom - r.top;
    return true;
}

bool SaverWindows::createContext(HWND window) {
    dc_ = GetDC(window);
    if (!dc_) return false;
    PIXELFORMATDESCRIPTOR pfd = mainPixelFormat();
    int format = ChoosePixelFormat(dc_, &pfd);
    if (format == 0 && DescribePixelFormat(dc_, 1, sizeof pfd, &pfd) != 0) format = 1;
    // A refused format is not fatal by itself: the context creation below is the test.
    if (format != 0) SetPixelFormat(dc_, format, &pfd);
    context_ = wglCreateContext(dc_);
    if (context_ && !wglMakeCurrent(dc_, context_)) {
        wglDeleteContext(context_);
        context_ = nullptr;
    }
    return context_ != nullptr;
}

void* SaverWindows::glProcAddress(const char* name) const { return validProc(wglGetProcAddress(name)); }

bool SaverWindows::setSwapInterval(int interval) const {
    using SwapInterval = BOOL(WINAPI*)(int);
    auto set = reinterpret_cast<SwapInterval>(glProcAddress("wglSwapIntervalEXT"));
    // The extension is taken as present only when both of its entry points are.
    if (!set || !glProcAddress("wglGetSwapIntervalEXT")) return false;
    return set(interval) != FALSE;
}

void SaverWindows::swapBuffers() const {
    HDC dc = wglGetCurrentDC();
    if (dc) SwapBuffers(dc);
}

void SaverWindows::destroyGlContext() {
    if (context_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
        context_ = nullptr;
    }
    if (dc_) {
        ReleaseDC(main_, dc_);
        dc_ = nullptr;
    }
}

void SaverWindows::warpCursor(WindowHandle handle, int x, int y) const {
    POINT p{x, y};
    if (ClientToScreen(windowOf(handle), &p)) SetCursorPos(p.x, p.y);
}

bool SaverWindows::pollEvent(InputEvent& event) {
    if (queue_.pop(event)) return true;
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        // Whoever asked the thread to quit ends the run as a close request would.
        event = InputEvent{};
        event.type = InputType::Close;
        event.window = handleOf(main_);
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    // A message that produced no event still counts: frames advance only on an empty queue.
    if (!queue_.pop(event)) event = InputEvent{};
    return true;
}

void SaverWindows::report(InputType type, HWND window, int key, bool systemKey, int x, int y) {
    InputEvent event;
    event.type = type;
    event.window = handleOf(window);
    event.key = key;
    event.systemKey = systemKey;
    event.x = x;
    event.y = y;
    queue_.push(event);
}

LRESULT CALLBACK SaverWindows::mainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SaverWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(window, message, wParam, lParam);
}

LRESULT SaverWindows::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createContext(window);
        return 0;
    case WM_MOUSEMOVE:
        report(InputType::MouseMove, window, 0, false, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_KEYDOWN:
        report(InputType::KeyDown, window, static_cast<int>(wParam));
        return 0;
    case WM_SYSKEYDOWN:
        // F10 and Alt combinations: the system's keys, whose commands are swallowed below.
        report(InputType::KeyDown, window, static_cast<int>(wParam), true);
        break;
    case WM_LBUTTONDOWN:
        report(InputType::LeftButton, window);
        return 0;
    case WM_RBUTTONDOWN:
        report(InputType::RightButton, window);
        return 0;
    case WM_MBUTTONDOWN:
        report(InputType::MiddleButton, window);
        break;
    case WM_MOUSEWHEEL:
        report(InputType::Wheel, window);
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        // Reported rather than posted as WM_QUIT: a quit left in the thread's queue after the
        // run would end the next modal loop of the process (a message box) at once.
        report(InputType::Close, window);
        return 0;
    case WM_SYSCOMMAND:
        // Full screen, every system command is swallowed: the screensaver request while it
        // runs, Alt+F4's close, the menu key. An ordinary window keeps its frame's commands.
        if (fullScreen_) return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ravelin
