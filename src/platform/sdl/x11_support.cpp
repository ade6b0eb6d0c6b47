#include "platform/sdl/x11_support.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/linux/termination.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#if defined(RAVELIN_HAVE_XRANDR)
#include <X11/extensions/Xrandr.h>
#endif
#endif

namespace ravelin::x11 {

bool parseWindowId(const char* text, unsigned long& id) {
    if (!text) return false;
    // 0x… is hex; everything else decimal, a leading zero included (never octal).
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(*digits)) : std::isdigit(static_cast<unsigned char>(*digits))))
        return false;
    char* end = nullptr;
    unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (*end != '\0' || value == 0 || value > 0xFFFFFFFFull) return false;
    id = static_cast<unsigned long>(value);
    return true;
}

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// X errors of the calls below are expected (a host window that went away, a missing
// extension); they are counted instead of ending the process the way Xlib's default does.
int gErrors = 0;
int countError(Display*, XErrorEvent*) {
    ++gErrors;
    return 0;
}

// Errors outside those calls: drawing into a window that its owner destroyed. Noted for
// windowLost, which then asks the server (an error handler may not).
bool gWindowErrorSeen = false;
int noteError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        gWindowErrorSeen = true;
        return 0;
    }
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "ravelin: X error: %s (request %d.%d)\n", text, error->request_code, error->minor_code);
    return 0;
}

struct ErrorTrap {
    explicit ErrorTrap(Display* d) : display(d) {
        XSync(display, False);
        gErrors = 0;
        previous = XSetErrorHandler(countError);
    }
    ~ErrorTrap() {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    bool failed() {
        XSync(display, False);
        return gErrors != 0;
    }
    Display* display;
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

bool x11Of(SDL_Window* window, Display*& display, Window& xwindow) {
    if (!window) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return display != nullptr;
}

}  // namespace

#if defined(RAVELIN_HAVE_XRANDR)
namespace {

// A CRTC's ramp as found before our first change, at the CRTC's own size.
struct SavedRamp {
    RRCrtc crtc = 0;
    std::vector<unsigned short> red, green, blue;
};
std::vector<SavedRamp> gSavedRamps;

void saveRampOnce(Display* display, RRCrtc crtc, int size) {
    for (const SavedRamp& saved : gSavedRamps)
        if (saved.crtc == crtc) return;
    XRRCrtcGamma* gamma = XRRGetCrtcGamma(display, crtc);
    if (!gamma) return;
    if (gamma->size == size) {
        SavedRamp saved;
        saved.crtc = crtc;
        saved.red.assign(gamma->red, gamma->red + size);
        saved.green.assign(gamma->green, gamma->green + size);
        saved.blue.assign(gamma->blue, gamma->blue + size);
        gSavedRamps.push_back(std::move(saved));
    }
    XRRFreeGamma(gamma);
}

}  // namespace
#endif

bool restoreGamma(SDL_Window* window) {
#if defined(RAVELIN_HAVE_XRANDR)
    Display* display = nullptr;
    Window xwindow = 0;
    if (gSavedRamps.empty() || !x11Of(window, display, xwindow)) return false;
    ErrorTrap trap(display);
    for (const SavedRamp& saved : gSavedRamps) {
        const int size = static_cast<int>(saved.red.size());
        if (XRRCrtcGamma* gamma = XRRAllocGamma(size)) {
            std::copy(saved.red.begin(), saved.red.end(), gamma->red);
            std::copy(saved.green.begin(), saved.green.end(), gamma->green);
            std::copy(saved.blue.begin(), saved.blue.end(), gamma->blue);
            XRRSetCrtcGamma(display, saved.crtc, gamma);
            XRRFreeGamma(gamma);
        }
    }
    gSavedRamps.clear();
    return !trap.failed();
#else
    (void)window;
    return false;
#endif
}

bool setGamma(SDL_Window* window, const uint16_t* ramp) {
#if defined(RAVELIN_HAVE_XRANDR)
    Display* display = nullptr;
    Window xwindow = 0;
    if (!ramp || !x11Of(window, display, xwindow)) return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        (major == 1 && minor < 2))
        return false;
    ErrorTrap trap(display);
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return false;
    // The primary output's CRTC: the display the main window covers.
    RRCrtc crtc = 0;
    RROutput primary = XRRGetOutputPrimary(display, root);
    if (primary) {
        if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
            crtc = output->crtc;
            XRRFreeOutputInfo(output);
        }
    }
    for (int i = 0; !crtc && i < resources->ncrtc; ++i) {
        if (XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i])) {
            if (info->mode && info->noutput > 0) crtc = resources->crtcs[i];
            XRRFreeCrtcInfo(info);
        }
    }
    bool ok = false;
    int size = crtc ? XRRGetCrtcGammaSize(display, crtc) : 0;
    if (size > 1) saveRampOnce(display, crtc, size);
    if (size > 1) {
        if (XRRCrtcGamma* gamma = XRRAllocGamma(size)) {
            for (int j = 0; j < size; ++j) {
                // Our ramp has 256 entries per channel; the CRTC may want another count.
                int i = static_cast<int>(static_cast<long>(j) * 256 / size);
                gamma->red[j] = ramp[i];
                gamma->green[j] = ramp[256 + i];
                gamma->blue[j] = ramp[512 + i];
            }
            XRRSetCrtcGamma(display, crtc, gamma);
            XRRFreeGamma(gamma);
            ok = true;
        }
    }
    XRRFreeScreenResources(resources);
    return ok && !trap.failed();
#else
    (void)window;
    (void)ramp;
    return false;
#endif
}

bool windowSize(SDL_Window* window, int& width, int& height) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!x11Of(window, display, xwindow)) return false;
    ErrorTrap trap(display);
    Window root = 0;
    int x = 0, y = 0;
    unsigned int w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, xwindow, &root, &x, &y, &w, &h, &border, &depth) || trap.failed()) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

void installErrorHandler() { XSetErrorHandler(noteError); }

bool windowLost(SDL_Window* window) {
    if (!gWindowErrorSeen) return false;
    Display* display = nullptr;
    Window xwindow = 0;
    if (!x11Of(window, display, xwindow)) return false;
    gWindowErrorSeen = false;
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    return !XGetWindowAttributes(display, xwindow, &attributes) || trap.failed();
}

bool windowExists(unsigned long id) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    bool exists = false;
    {
        ErrorTrap trap(display);
        XWindowAttributes attributes;
        exists = XGetWindowAttributes(display, id, &attributes) && !trap.failed();
    }
    XCloseDisplay(display);
    return exists;
}

std::vector<DisplayPlace> displayPlaces(int displayCount) {
    std::vector<DisplayPlace> places;
#if defined(RAVELIN_HAVE_XRANDR)
    Display* display = XOpenDisplay(nullptr);
    if (!display) return places;
    int eventBase = 0, errorBase = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase)) {
        ErrorTrap trap(display);
        const int defaultScreen = DefaultScreen(display);
        const RROutput primary = XRRGetOutputPrimary(display, RootWindow(display, defaultScreen));
        std::vector<std::vector<RRCrtc>> shown(static_cast<size_t>(ScreenCount(display)));  // per screen
        // The same walk as SDL's: the default screen's primary output first, then the rest.
        for (int pass = 0; pass < 2; ++pass) {
            for (int screen = 0; screen < ScreenCount(display); ++screen) {
                if (pass == 0 && screen != defaultScreen) continue;
                XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
                if (!resources) continue;
                std::vector<RRCrtc>& crtcs = shown[static_cast<size_t>(screen)];
                for (int i = 0; i < resources->noutput; ++i) {
                    const RROutput output = resources->outputs[i];
                    const bool isPrimary = screen == defaultScreen && output == primary;
                    if ((pass == 0) != isPrimary) continue;
                    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
                    if (!info) continue;
                    if (info->connection != RR_Disconnected && info->crtc) {
                        const bool clone = std::find(crtcs.begin(), crtcs.end(), info->crtc) != crtcs.end();
                        places.push_back({screen, screen == defaultScreen, clone});
                        crtcs.push_back(info->crtc);
                    }
                    XRRFreeOutputInfo(info);
                }
                XRRFreeScreenResources(resources);
            }
        }
        if (trap.failed()) places.clear();
    }
    XCloseDisplay(display);
#endif
    if (static_cast<int>(places.size()) != displayCount) places.clear();
    return places;
}

namespace {
Display* gBlankDisplay = nullptr;  // the blank windows' own connection: they go when it closes
}  // namespace

unsigned long createBlankWindow(int screen, int x, int y, int width, int height) {
    if (!gBlankDisplay) gBlankDisplay = XOpenDisplay(nullptr);
    if (!gBlankDisplay || screen < 0 || screen >= ScreenCount(gBlankDisplay) || width <= 0 || height <= 0) return 0;
    ErrorTrap trap(gBlankDisplay);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(gBlankDisplay, screen);
    attributes.override_redirect = True;  // no window manager frames or moves it
    Window window = XCreateWindow(gBlankDisplay, RootWindow(gBlankDisplay, screen), x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWOverrideRedirect, &attributes);
    if (trap.failed()) return 0;
    XMapRaised(gBlankDisplay, window);
    return trap.failed() ? 0 : window;
}

void closeBlankWindows() {
    if (gBlankDisplay) XCloseDisplay(gBlankDisplay);
    gBlankDisplay = nullptr;
}

bool setBlackBackground(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!x11Of(window, display, xwindow)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes)) return false;
    XSetWindowBackground(display, xwindow, BlackPixelOfScreen(attributes.screen));
    XClearWindow(display, xwindow);
    XFlush(display);
    return true;
}

unsigned long saverRootWindow() {
    unsigned long id = 0;
    if (parseWindowId(std::getenv("XSCREENSAVER_WINDOW"), id)) return id;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    id = DefaultRootWindow(display);
    XCloseDisplay(display);
    return id;
}

namespace {

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// A 24-bit uncompressed BMP, as the resource table carries it, to top-down RGB.
bool decodeBmp(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint8_t>& rgb) {
    size_t info = 0, pixels = 0;
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        info = 14;
        pixels = le32(data + 10);
    }
    if (size < info + 40) return false;
    const uint8_t* h = data + info;
    uint32_t headerSize = le32(h);
    int32_t w = static_cast<int32_t>(le32(h + 4));
    int32_t hh = static_cast<int32_t>(le32(h + 8));
    if (headerSize < 40 || le16(h + 14) != 24 || le32(h + 16) != 0) return false;
    if (w <= 0 || w > 4096 || hh == 0 || hh < -4096 || hh > 4096) return false;
    if (!pixels) pixels = info + headerSize;
    const bool topDown = hh < 0;
    const int rows = topDown ? -hh : hh;
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    if (pixels > size || size - pixels < stride * static_cast<size_t>(rows)) return false;
    width = w;
    height = rows;
    rgb.resize(static_cast<size_t>(w) * rows * 3);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* src = data + pixels + stride * static_cast<size_t>(topDown ? y : rows - 1 - y);
        uint8_t* dst = rgb.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            dst[x * 3 + 0] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3 + 0];
        }
    }
    return true;
}

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

unsigned long scaleTo(uint8_t value, unsigned long mask) {
    int shift = shiftOf(mask);
    unsigned long max = mask >> shift;
    return ((static_cast<unsigned long>(value) * max + 127) / 255) << shift;
}

}  // namespace

int runPreview(unsigned long parent, const uint8_t* bmp, size_t size) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    int result = 0;
    {
        ErrorTrap trap(display);
        XWindowAttributes parentAttributes;
        std::memset(&parentAttributes, 0, sizeof parentAttributes);
        Window child = 0;
        if (parent && XGetWindowAttributes(display, parent, &parentAttributes) && !trap.failed()) {
            child = XCreateSimpleWindow(display, parent, 0, 0, static_cast<unsigned>(std::max(parentAttributes.width, 1)),
                                        static_cast<unsigned>(std::max(parentAttributes.height, 1)), 0, 0,
                                        BlackPixel(display, DefaultScreen(display)));
            if (trap.failed()) child = 0;
        }
        if (child) {
            // The picture in the child's visual (the parent's), unscaled at the top left.
            int width = 0, height = 0;
            std::vector<uint8_t> rgb;
            XImage* image = nullptr;
            if (decodeBmp(bmp, size, width, height, rgb) && parentAttributes.visual &&
                parentAttributes.visual->c_class == TrueColor) {
                char* pixels = static_cast<char*>(std::calloc(static_cast<size_t>(width) * height, 4));
                image = pixels ? XCreateImage(display, parentAttributes.visual,
                                              static_cast<unsigned>(parentAttributes.depth), ZPixmap, 0, pixels,
                                              static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0)
                               : nullptr;
                if (!image) std::free(pixels);
                for (int y = 0; image && y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const uint8_t* c = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
                        XPutPixel(image, x, y,
                                  scaleTo(c[0], image->red_mask) | scaleTo(c[1], image->green_mask) |
                                      scaleTo(c[2], image->blue_mask));
                    }
            }
            GC gc = XCreateGC(display, child, 0, nullptr);
            XSelectInput(display, child, ExposureMask | StructureNotifyMask);
            XSelectInput(display, parent, StructureNotifyMask);
            XMapWindow(display, child);
            XSync(display, False);
            // Painted on every exposure, the same picture each time, until the host closes it
            // or we are asked to end.
            for (bool open = true; open;) {
                if (!XPending(display)) {
                    if (terminationRequested()) break;
                    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {terminationFd(), POLLIN, 0}};
                    ::poll(fds, terminationFd() >= 0 ? 2 : 1, -1);
                    continue;
                }
                XEvent event;
                XNextEvent(display, &event);
                switch (event.type) {
                case Expose:
                    if (image && event.xexpose.window == child && event.xexpose.count == 0)
                        XPutImage(display, child, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height));
                    break;
                case ConfigureNotify:
                    if (event.xconfigure.window == parent)
                        XResizeWindow(display, child, static_cast<unsigned>(std::max(event.xconfigure.width, 1)),
                                      static_cast<unsigned>(std::max(event.xconfigure.height, 1)));
                    break;
                case DestroyNotify:
                    if (event.xdestroywindow.window == child || event.xdestroywindow.window == parent) open = false;
                    break;
                default:
                    break;
                }
            }
            if (image) XDestroyImage(image);  // frees the pixels too
            XFreeGC(display, gc);
            XDestroyWindow(display, child);  // already gone when the host destroyed it: trapped
            result = 1;
        }
    }
    XCloseDisplay(display);
    return result;
}

#else  // no X11 in this SDL: nothing below SDL to reach

bool setGamma(SDL_Window*, const uint16_t*) { return false; }
bool restoreGamma(SDL_Window*) { return false; }
void installErrorHandler() {}
bool windowLost(SDL_Window*) { return false; }
bool windowExists(unsigned long) { return false; }
bool setBlackBackground(SDL_Window*) { return false; }
std::vector<DisplayPlace> displayPlaces(int) { return {}; }
unsigned long createBlankWindow(int, int, int, int, int) { return 0; }
void closeBlankWindows() {}
bool windowSize(SDL_Window*, int&, int&) { return false; }
unsigned long saverRootWindow() {
    unsigned long id = 0;
    return parseWindowId(std::getenv("XSCREENSAVER_WINDOW"), id) ? id : 0;
}
int runPreview(unsigned long, const uint8_t*, size_t) { return 0; }

#endif

}  // namespace ravelin::x11
