#include "platform/sdl/sdl_platform.h"

#include "platform/linux/file_settings_store.h"
#include "platform/sdl/x11_support.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace ravelin {

// Generated from resources/resources.list (the blobs linked into the executable).
ByteRange embeddedFindResource(std::string_view type, uint16_t id);

namespace {

SDL_Window* windowOf(WindowHandle handle) { return reinterpret_cast<SDL_Window*>(handle); }
WindowHandle handleOf(SDL_Window* window) { return reinterpret_cast<WindowHandle>(window); }

bool displayPresent() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void toPlatformMode(const SDL_DisplayMode& in, DisplayMode& out) {
    out.width = in.w;
    out.height = in.h;
    int bits = static_cast<int>(SDL_BITSPERPIXEL(in.format));
    // The settings and the dialog know 16 and 32 bits; a 24-bit desktop is the 32-bit choice.
    out.bitsPerPixel = bits == 24 ? 32 : bits;
    out.refreshRate = in.refresh_rate;
}

}  // namespace

SdlPlatform::SdlPlatform() : fileStore_(new FileSettingsStore) {
    // A screensaver must let the display blank and power off; SDL blocks that by default.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A full-screen window that loses focus to a blanking window on another display must stay.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // SIGTERM and SIGINT arrive as a quit event, so they end the run through its shutdown.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    // Without a desktop SDL may still find a console or off-screen driver and "run" where nobody
    // can see it; a screensaver without a display has nothing to do (SDL_VIDEODRIVER overrides).
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (displayPresent() || (driver && *driver)) videoReady_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    setPlatform(this);
}

SdlPlatform::~SdlPlatform() {
    if (&platform() == this) setPlatform(nullptr);
    destroyGlContext();
    for (SDL_Window* window : blankingWindows_) SDL_DestroyWindow(window);
    // A foreign window is only forgotten: destroying it belongs to its owner.
    if (mainWindow_) SDL_DestroyWindow(mainWindow_);
    SDL_Quit();
}

void SdlPlatform::setFixedLocalTime(const LocalTime* time) {
    hasFixedTime_ = time != nullptr;
    if (time) fixedTime_ = *time;
}

ByteRange SdlPlatform::findResource(std::string_view type, uint16_t id) { return embeddedFindResource(type, id); }

void SdlPlatform::messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) {
    std::string utf8Text = toUtf8(text, encoding);
    std::string utf8Caption = toUtf8(caption, encoding);
    if (!nonBlocking_ && videoReady_ && displayPresent() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8Caption.c_str(), utf8Text.c_str(), nullptr) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
}

SettingsStore& SdlPlatform::settingsStore() { return store_ ? *store_ : *fileStore_; }

int64_t SdlPlatform::counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }

int64_t SdlPlatform::counterFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

LocalTime SdlPlatform::localTime() {
    if (hasFixedTime_) return fixedTime_;
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_hour, parts.tm_min, parts.tm_sec};
}

double SdlPlatform::threadCpuSeconds() {
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0) return 0.0;
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

bool SdlPlatform::currentDisplayMode(DisplayMode& mode) {
    SDL_DisplayMode sdlMode;
    if (!videoReady_ || SDL_GetDesktopDisplayMode(0, &sdlMode) != 0) return false;
    toPlatformMode(sdlMode, mode);
    return true;
}

bool SdlPlatform::enumDisplayMode(int index, DisplayMode& mode) {
    if (!videoReady_ || index < 0 || index >= SDL_GetNumDisplayModes(0)) return false;
    SDL_DisplayMode sdlMode;
    if (SDL_GetDisplayMode(0, index, &sdlMode) != 0) return false;
    toPlatformMode(sdlMode, mode);
    return true;
}

bool SdlPlatform::switchDisplayMode(const DisplayMode& mode) {
    // SDL changes the mode when a full-screen window is shown; remember the wish until then.
    if (!videoReady_) return false;
    SDL_DisplayMode wanted{}, closest{};
    wanted.w = mode.width;
    wanted.h = mode.height;
    if (!SDL_GetClosestDisplayMode(0, &wanted, &closest) || closest.w != mode.width || closest.h != mode.height)
        return false;
    requestedMode_ = mode;
    modeSwitched_ = true;
    return true;
}

void SdlPlatform::restoreDisplayMode() {
    if (modeSwitched_ && mainWindow_) SDL_SetWindowFullscreen(mainWindow_, 0);
    modeSwitched_ = false;
}

bool SdlPlatform::enumDisplayAdapter(int index, DisplayAdapter& adapter) {
    if (!videoReady_ || index < 0 || index >= SDL_GetNumVideoDisplays()) return false;
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(index, &bounds) != 0) return false;
    adapter = DisplayAdapter{};
    adapter.attachedToDesktop = true;
    adapter.primary = index == 0;
    adapter.rect = {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    adapter.monitorHandle = static_cast<uintptr_t>(index + 1);
    return true;
}

WindowHandle SdlPlatform::createMainWindow(const Rect& rect) {
    if (!videoReady_ || mainWindow_) return 0;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SDL_Window* window = nullptr;
    if (hostWindow_) {
        // The host's window keeps its visual; the context is made for that visual.
        SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
        window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(hostWindow_)));
        if (!window) {
            std::fprintf(stderr, "ravelin: cannot use window 0x%lx: %s\n", hostWindow_, SDL_GetError());
            return 0;
        }
    } else {
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
        if (fullScreen_) flags |= modeSwitched_ ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
        window = SDL_CreateWindow("Ravelin", rect.left, rect.top, width, height, flags);
        if (!window) {
            std::fprintf(stderr, "ravelin: cannot create the window: %s\n", SDL_GetError());
            return 0;
        }
    }
    if (fullScreen_ && modeSwitched_) {
        SDL_DisplayMode mode{};
        mode.w = requestedMode_.width;
        mode.h = requestedMode_.height;
        mode.refresh_rate = requestedMode_.refreshRate;
        SDL_SetWindowDisplayMode(window, &mode);
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context || SDL_GL_MakeCurrent(window, context) != 0) {
        // Without a context nothing can be drawn: say so and let the run give the desktop back.
        std::fprintf(stderr, "ravelin: cannot create an OpenGL context: %s\n", SDL_GetError());
        if (context) SDL_GL_DeleteContext(context);
        if (!hostWindow_) SDL_DestroyWindow(window);
        return 0;
    }
    mainWindow_ = window;
    glContext_ = context;
    return handleOf(window);
}

WindowHandle SdlPlatform::createBlankingWindow(const Rect& rect) {
    if (!videoReady_) return 0;
    Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (fullScreen_) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_Window* window = SDL_CreateWindow("Ravelin", rect.left, rect.top, rect.right - rect.left,
                                          rect.bottom - rect.top, flags);
    if (!window) return 0;
    blankingWindows_.push_back(window);
    paintBlack(window);
    return handleOf(window);
}

void SdlPlatform::showWindow(WindowHandle window) {
    if (!window) return;
    if (hostWindow_ && windowOf(window) == mainWindow_) return;  // the host shows its own window
    SDL_ShowWindow(windowOf(window));
    SDL_RaiseWindow(windowOf(window));
    // A shown window has a new surface size (full screen): black it again.
    for (SDL_Window* blank : blankingWindows_)
        if (blank == windowOf(window)) paintBlack(blank);
}

void SdlPlatform::closeWindow(WindowHandle window) {
    if (!window || (hostWindow_ && windowOf(window) == mainWindow_)) return;
    SDL_MinimizeWindow(windowOf(window));
}

bool SdlPlatform::clientSize(WindowHandle window, int& width, int& height) {
    if (!window) return false;
    if (windowOf(window) == mainWindow_ && hostWindow_)
        return x11::windowSize(mainWindow_, width, height);  // the host resizes it behind SDL's back
    if (windowOf(window) == mainWindow_)
        SDL_GL_GetDrawableSize(mainWindow_, &width, &height);
    else
        SDL_GetWindowSize(windowOf(window), &width, &height);
    return true;
}

void* SdlPlatform::glProcAddress(const char* name) { return glContext_ ? SDL_GL_GetProcAddress(name) : nullptr; }

bool SdlPlatform::setSwapInterval(int interval) { return glContext_ && SDL_GL_SetSwapInterval(interval) == 0; }

void SdlPlatform::swapBuffers() {
    if (mainWindow_) SDL_GL_SwapWindow(mainWindow_);
}

void SdlPlatform::destroyGlContext() {
    if (!glContext_) return;
    SDL_GL_MakeCurrent(mainWindow_, nullptr);
    SDL_GL_DeleteContext(glContext_);
    glContext_ = nullptr;
}

bool SdlPlatform::setGammaRamp(const uint16_t* ramp) {
    // SDL's own gamma needs a DirectColor visual, which desktops do not use: go to XRandR's
    // per-CRTC ramps. Elsewhere (Wayland) the display's gamma is left alone.
    if (!mainWindow_ || hostWindow_) return false;
    return x11::setGamma(mainWindow_, ramp);
}

void SdlPlatform::showCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlPlatform::warpCursor(WindowHandle window, int x, int y) {
    if (window && !hostWindow_) SDL_WarpMouseInWindow(windowOf(window), x, y);
}

void SdlPlatform::paintBlack(SDL_Window* window) {
    if (SDL_Surface* surface = SDL_GetWindowSurface(window)) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_UpdateWindowSurface(window);
    }
}

bool SdlPlatform::pollEvent(InputEvent& event) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        event = InputEvent{};
        switch (e.type) {
        case SDL_KEYDOWN:
            event.type = InputType::KeyDown;
            event.window = handleOf(SDL_GetWindowFromID(e.key.windowID));
            event.key = e.key.keysym.sym;
            event.systemKey = (e.key.keysym.mod & KMOD_ALT) != 0 || e.key.keysym.sym == SDLK_F10;
            return true;
        case SDL_MOUSEBUTTONDOWN:
            event.window = handleOf(SDL_GetWindowFromID(e.button.windowID));
            event.type = e.button.button == SDL_BUTTON_LEFT    ? InputType::LeftButton
                         : e.button.button == SDL_BUTTON_RIGHT ? InputType::RightButton
                                                               : InputType::MiddleButton;
            event.x = e.button.x;
            event.y = e.button.y;
            return true;
        case SDL_MOUSEWHEEL:
            event.type = InputType::Wheel;
            event.window = handleOf(SDL_GetWindowFromID(e.wheel.windowID));
            return true;
        case SDL_MOUSEMOTION:
            event.type = InputType::MouseMove;
            event.window = handleOf(SDL_GetWindowFromID(e.motion.windowID));
            event.x = e.motion.x;
            event.y = e.motion.y;
            return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                SDL_Window* exposed = SDL_GetWindowFromID(e.window.windowID);
                for (SDL_Window* blank : blankingWindows_)
                    if (blank == exposed) paintBlack(blank);
            }
            if (e.window.event != SDL_WINDOWEVENT_CLOSE) break;
            event.type = InputType::Close;
            event.window = handleOf(SDL_GetWindowFromID(e.window.windowID));
            return true;
        case SDL_QUIT:
            event.type = InputType::Close;
            event.window = handleOf(mainWindow_);
            return true;
        default:
            break;
        }
    }
    return false;
}

}  // namespace ravelin
