#include "platform/win32/win32_platform.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "platform/win32/display_settings.h"
#include "platform/win32/resource_library.h"
#include "platform/win32/saver_windows.h"

namespace ravelin {
namespace {

HMODULE moduleOf(uintptr_t module) {
    return module ? reinterpret_cast<HMODULE>(module) : GetModuleHandleW(nullptr);
}

}  // namespace

std::wstring utf8ToWide(std::string_view text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), length);
    return out;
}

std::string wideToUtf8(std::wstring_view text) {
    if (text.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

std::vector<std::string> commandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(wideToUtf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

Win32Platform::Win32Platform(uintptr_t resourceModule)
    : module_(reinterpret_cast<uintptr_t>(moduleOf(resourceModule))),
      libraries_(new ResourceLibraries),
      display_(new DisplaySettings),
      windows_(new SaverWindows(GetModuleHandleW(nullptr))) {
    setPlatform(this);
}

Win32Platform::~Win32Platform() {
    // Windows and context go before the platform stops being the process's.
    windows_.reset();
    if (&platform() == this) setPlatform(nullptr);
}

void Win32Platform::setFixedLocalTime(const LocalTime* time) {
    hasFixedTime_ = time != nullptr;
    if (time) fixedTime_ = *time;
}

void Win32Platform::setFullScreen(bool fullScreen) { windows_->setFullScreen(fullScreen); }

void Win32Platform::setShowCommand(int showCommand) { windows_->setShowCommand(showCommand); }

ByteRange Win32Platform::findResource(std::string_view type, uint16_t id) {
    HMODULE module = reinterpret_cast<HMODULE>(module_);
    std::wstring typeName = utf8ToWide(type);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), typeName.c_str());
    if (!found) return {};
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = size ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const uint8_t*>(bytes), size_t(size)};
}

void Win32Platform::messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) {
    if (nonBlocking_) {
        std::fprintf(stderr, "%s: %s\n", toUtf8(caption, encoding).c_str(), toUtf8(text, encoding).c_str());
        return;
    }
    MessageBoxW(nullptr, utf8ToWide(toUtf8(text, encoding)).c_str(), utf8ToWide(toUtf8(caption, encoding)).c_str(),
                MB_OK);
}

// Until a store is given, the null platform's: it never opens, so every value keeps its default
// and nothing is written.
SettingsStore& Win32Platform::settingsStore() { return store_ ? *store_ : NullPlatform::settingsStore(); }

int64_t Win32Platform::counter() {
    LARGE_INTEGER value;
    return QueryPerformanceCounter(&value) ? int64_t(value.QuadPart) : 0;
}

int64_t Win32Platform::counterFrequency() {
    LARGE_INTEGER value;
    return QueryPerformanceFrequency(&value) ? int64_t(value.QuadPart) : 0;
}

LocalTime Win32Platform::localTime() {
    if (hasFixedTime_) return fixedTime_;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond};
}

double Win32Platform::threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

bool Win32Platform::currentDisplayMode(DisplayMode& mode) { return display_->currentMode(mode); }
bool Win32Platform::enumDisplayMode(int index, DisplayMode& mode) { return display_->enumMode(index, mode); }
bool Win32Platform::switchDisplayMode(const DisplayMode& mode) { return display_->switchMode(mode); }
void Win32Platform::restoreDisplayMode() { display_->restoreMode(); }
bool Win32Platform::enumDisplayAdapter(int index, DisplayAdapter& adapter) {
    return display_->enumAdapter(index, adapter);
}

WindowHandle Win32Platform::createMainWindow(const Rect& rect) { return windows_->createMainWindow(rect); }
WindowHandle Win32Platform::createBlankingWindow(const Rect& rect) { return windows_->createBlankingWindow(rect); }
void Win32Platform::showWindow(WindowHandle window) { windows_->showWindow(window); }
void Win32Platform::closeWindow(WindowHandle window) { windows_->closeWindow(window); }
bool Win32Platform::clientSize(WindowHandle window, int& width, int& height) {
    return windows_->clientSize(window, width, height);
}
void* Win32Platform::glProcAddress(const char* name) { return windows_->glProcAddress(name); }
bool Win32Platform::setSwapInterval(int interval) { return windows_->setSwapInterval(interval); }
void Win32Platform::swapBuffers() { windows_->swapBuffers(); }
void Win32Platform::destroyGlContext() { windows_->destroyGlContext(); }
bool Win32Platform::setGammaRamp(const uint16_t* ramp) {
    return display_->setGammaRamp(windows_->deviceContext(), ramp);
}
bool Win32Platform::restoreGammaRamp() { return display_->restoreGammaRamp(windows_->deviceContext()); }

void Win32Platform::showCursor(bool show) { ShowCursor(show ? TRUE : FALSE); }
void Win32Platform::warpCursor(WindowHandle window, int x, int y) { windows_->warpCursor(window, x, y); }
bool Win32Platform::pollEvent(InputEvent& event) { return windows_->pollEvent(event); }

LibraryHandle Win32Platform::loadResourceLibrary(std::string_view type, uint16_t id) {
    return libraries_->load(findResource(type, id));
}

void* Win32Platform::librarySymbol(LibraryHandle library, const char* name) {
    return libraries_->symbol(library, name);
}

void Win32Platform::unloadLibrary(LibraryHandle library) { libraries_->unload(library); }

std::wstring Win32Platform::libraryFile(LibraryHandle library) const { return libraries_->file(library); }

}  // namespace ravelin
