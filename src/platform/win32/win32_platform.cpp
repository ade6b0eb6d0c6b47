#include "platform/win32/win32_platform.h"

#include <windows.h>

#include "platform/win32/resource_library.h"

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

Win32Platform::Win32Platform(uintptr_t resourceModule)
    : module_(reinterpret_cast<uintptr_t>(moduleOf(resourceModule))),
      libraries_(new ResourceLibraries) {
    setPlatform(this);
}

Win32Platform::~Win32Platform() {
    if (&platform() == this) setPlatform(nullptr);
}

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
    MessageBoxW(nullptr, utf8ToWide(toUtf8(text, encoding)).c_str(), utf8ToWide(toUtf8(caption, encoding)).c_str(),
                MB_OK);
}

SettingsStore& Win32Platform::settingsStore() { return store_ ? *store_ : NullPlatform::settingsStore(); }

namespace {

// The primary display's mode number `index` (or ENUM_CURRENT_SETTINGS).
bool primaryDisplayMode(DWORD index, DisplayMode& mode) {
    DEVMODEW devMode{};
    devMode.dmSize = sizeof devMode;
    if (!EnumDisplaySettingsW(nullptr, index, &devMode)) return false;
    mode.width = int(devMode.dmPelsWidth);
    mode.height = int(devMode.dmPelsHeight);
    mode.bitsPerPixel = int(devMode.dmBitsPerPel);
    mode.refreshRate = int(devMode.dmDisplayFrequency);
    return true;
}

}  // namespace

bool Win32Platform::currentDisplayMode(DisplayMode& mode) { return primaryDisplayMode(ENUM_CURRENT_SETTINGS, mode); }

bool Win32Platform::enumDisplayMode(int index, DisplayMode& mode) {
    return index >= 0 && primaryDisplayMode(DWORD(index), mode);
}

int64_t Win32Platform::counter() {
    LARGE_INTEGER value;
    return QueryPerformanceCounter(&value) ? int64_t(value.QuadPart) : 0;
}

int64_t Win32Platform::counterFrequency() {
    LARGE_INTEGER value;
    return QueryPerformanceFrequency(&value) ? int64_t(value.QuadPart) : 0;
}

LocalTime Win32Platform::localTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond};
}

double Win32Platform::threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
    // Both times count 100-nanosecond intervals.
    auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) * 1e-7;
}

LibraryHandle Win32Platform::loadResourceLibrary(std::string_view type, uint16_t id) {
    return libraries_->load(findResource(type, id));
}

void* Win32Platform::librarySymbol(LibraryHandle library, const char* name) {
    return libraries_->symbol(library, name);
}

void Win32Platform::unloadLibrary(LibraryHandle library) { libraries_->unload(library); }

std::wstring Win32Platform::libraryFile(LibraryHandle library) const { return libraries_->file(library); }

}  // namespace ravelin
