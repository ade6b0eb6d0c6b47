#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cctype>

namespace ravelin {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string rectText(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

bool MemorySettingsStore::open(bool forWriting) {
    log.push_back(forWriting ? "open w" : "open r");
    isOpen = !failOpen;
    return isOpen;
}

bool MemorySettingsStore::query(std::string_view name, uint32_t& value) {
    log.push_back("query " + std::string(name));
    if (!isOpen) return false;
    auto it = values.find(std::string(name));
    if (it == values.end()) return false;
    value = it->second;
    return true;
}

void MemorySettingsStore::set(std::string_view name, uint32_t value) {
    log.push_back("set " + std::string(name) + "=" + std::to_string(value));
    if (isOpen) values[std::string(name)] = value;
}

void MemorySettingsStore::close() {
    log.push_back("close");
    isOpen = false;
}

FakePlatform::FakePlatform() { setPlatform(this); }

FakePlatform::~FakePlatform() {
    if (&platform() == this) setPlatform(nullptr);
}

void FakePlatform::addResource(std::string_view type, uint16_t id, std::vector<uint8_t> bytes) {
    resources_[{upper(type), id}] = std::move(bytes);
}

void FakePlatform::addResource(std::string_view type, uint16_t id, std::string_view bytes) {
    addResource(type, id, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

ByteRange FakePlatform::findResource(std::string_view type, uint16_t id) {
    auto it = resources_.find({upper(type), id});
    if (it == resources_.end() || it->second.empty()) return {};
    return {it->second.data(), it->second.size()};
}

void FakePlatform::messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) {
    ++messageCount;
    if (!captureMessages) return;
    calls.push_back("messageBox");
    messages.push_back({toUtf8(text, encoding), toUtf8(caption, encoding), std::string(text)});
}

int64_t FakePlatform::counter() {
    int64_t v = counterValue;
    counterValue += counterStep;
    return v;
}

int64_t FakePlatform::counterFrequency() { return frequency; }

LocalTime FakePlatform::localTime() { return time; }

bool FakePlatform::currentDisplayMode(DisplayMode& mode) {
    calls.push_back("currentDisplayMode");
    if (!hasCurrentMode) return false;
    mode = desktopMode;
    return true;
}

bool FakePlatform::enumDisplayMode(int index, DisplayMode& mode) {
    if (index < 0 || index >= static_cast<int>(modes.size())) return false;
    mode = modes[static_cast<size_t>(index)];
    return true;
}

bool FakePlatform::switchDisplayMode(const DisplayMode& mode) {
    calls.push_back("switchDisplayMode " + std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
                    std::to_string(mode.bitsPerPixel));
    return switchOk;
}

void FakePlatform::restoreDisplayMode() { calls.push_back("restoreDisplayMode"); }

bool FakePlatform::enumDisplayAdapter(int index, DisplayAdapter& adapter) {
    if (index < 0 || index >= static_cast<int>(adapters.size())) return false;
    adapter = adapters[static_cast<size_t>(index)];
    return true;
}

WindowHandle FakePlatform::createMainWindow(const Rect& rect) {
    calls.push_back("createMainWindow " + rectText(rect));
    return failWindows ? 0 : static_cast<WindowHandle>(nextWindow++);
}

WindowHandle FakePlatform::createBlankingWindow(const Rect& rect) {
    calls.push_back("createBlankingWindow " + rectText(rect));
    return failWindows ? 0 : static_cast<WindowHandle>(nextWindow++);
}

void FakePlatform::showWindow(WindowHandle window) { calls.push_back("showWindow " + std::to_string(window)); }

void FakePlatform::closeWindow(WindowHandle window) { calls.push_back("closeWindow " + std::to_string(window)); }

bool FakePlatform::clientSize(WindowHandle, int& width, int& height) {
    width = clientWidth;
    height = clientHeight;
    return true;
}

void* FakePlatform::glProcAddress(const char* name) {
    calls.push_back(std::string("glProcAddress ") + name);
    return nullptr;
}

bool FakePlatform::setSwapInterval(int interval) {
    calls.push_back("setSwapInterval " + std::to_string(interval));
    return swapControl;
}

void FakePlatform::swapBuffers() { calls.push_back("swapBuffers"); }

void FakePlatform::destroyGlContext() { calls.push_back("destroyGlContext"); }

bool FakePlatform::setGammaRamp(const uint16_t* ramp) {
    calls.push_back("setGammaRamp");
    lastGammaRamp.assign(ramp, ramp + 768);
    return gammaOk;
}

bool FakePlatform::restoreGammaRamp() {
    calls.push_back("restoreGammaRamp");
    return gammaRestorable;
}

void FakePlatform::showCursor(bool show) { calls.push_back(show ? "showCursor 1" : "showCursor 0"); }

void FakePlatform::warpCursor(WindowHandle window, int x, int y) {
    calls.push_back("warpCursor " + std::to_string(window) + " " + std::to_string(x) + "," + std::to_string(y));
}

bool FakePlatform::pollEvent(InputEvent& event) {
    if (events.empty()) return false;
    event = events.front();
    events.erase(events.begin());
    return true;
}

LibraryHandle FakePlatform::loadResourceLibrary(std::string_view type, uint16_t id) {
    calls.push_back("loadResourceLibrary " + std::string(type) + " " + std::to_string(id));
    return libraryExports.empty() ? 0 : 1;
}

void* FakePlatform::librarySymbol(LibraryHandle library, const char* name) {
    librarySymbolsAsked.push_back(name);
    auto found = libraryExports.find(name);
    return library == 1 && found != libraryExports.end() ? found->second : nullptr;
}

void FakePlatform::unloadLibrary(LibraryHandle library) { calls.push_back("unloadLibrary " + std::to_string(library)); }

}  // namespace ravelin
