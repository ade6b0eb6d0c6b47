// The installed platform, the null platform that stands in until a shell or a test installs
// one, and the shared text conversion.
#include "platform/platform.h"

#include <cstdio>

namespace ravelin {
namespace {

class NullStore final : public SettingsStore {
public:
    bool open(bool) override { return false; }
    bool query(std::string_view, uint32_t&) override { return false; }
    void set(std::string_view, uint32_t) override {}
    void close() override {}
};

NullStore nullStore;
NullPlatform nullPlatform;
Platform* current = &nullPlatform;

// Windows-1251 code points for bytes 0x80..0xBF (0xC0..0xFF map to U+0410..U+044F).
const uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void appendCodePoint(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

ByteRange NullPlatform::findResource(std::string_view, uint16_t) { return {}; }
void NullPlatform::messageBox(std::string_view text, std::string_view caption, TextEncoding encoding) {
    std::fprintf(stderr, "%s: %s\n", toUtf8(caption, encoding).c_str(), toUtf8(text, encoding).c_str());
}
SettingsStore& NullPlatform::settingsStore() { return nullStore; }
int64_t NullPlatform::counter() { return 0; }
int64_t NullPlatform::counterFrequency() { return 0; }
LocalTime NullPlatform::localTime() { return {}; }
double NullPlatform::threadCpuSeconds() { return 0.0; }
bool NullPlatform::currentDisplayMode(DisplayMode&) { return false; }
bool NullPlatform::enumDisplayMode(int, DisplayMode&) { return false; }
bool NullPlatform::switchDisplayMode(const DisplayMode&) { return false; }
void NullPlatform::restoreDisplayMode() {}
bool NullPlatform::enumDisplayAdapter(int, DisplayAdapter&) { return false; }
WindowHandle NullPlatform::createMainWindow(const Rect&) { return 0; }
WindowHandle NullPlatform::createBlankingWindow(const Rect&) { return 0; }
void NullPlatform::showWindow(WindowHandle) {}
void NullPlatform::closeWindow(WindowHandle) {}
bool NullPlatform::clientSize(WindowHandle, int&, int&) { return false; }
void* NullPlatform::glProcAddress(const char*) { return nullptr; }
bool NullPlatform::setSwapInterval(int) { return false; }
void NullPlatform::swapBuffers() {}
void NullPlatform::destroyGlContext() {}
bool NullPlatform::setGammaRamp(const uint16_t*) { return false; }
void NullPlatform::showCursor(bool) {}
void NullPlatform::warpCursor(WindowHandle, int, int) {}
bool NullPlatform::pollEvent(InputEvent&) { return false; }

Platform& platform() { return *current; }

void setPlatform(Platform* implementation) { current = implementation ? implementation : &nullPlatform; }

std::string cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0xC0)
            appendCodePoint(out, kCp1251High[c - 0x80]);
        else
            appendCodePoint(out, 0x0410u + (c - 0xC0u));
    }
    return out;
}

std::string toUtf8(std::string_view text, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? std::string(text) : cp1251ToUtf8(text);
}

}  // namespace ravelin
