#include "platform/sdl/x11_support.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#if defined(RAVELIN_HAVE_XRANDR)
#include <X11/extensions/Xrandr.h>
#endif
#endif

namespace ravelin::x11 {

bool parseWindowId(const char* text, unsigned long& id) {
    if (!text || !*text || *text == '-' || *text == '+') return false;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 0);  // 0x… hex, otherwise decimal (or 0… octal)
    if (end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFull) return false;
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
            // Painted on every exposure, the same picture each time, until the host closes it.
            for (bool open = true; open;) {
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
            result = 1;
        }
    }
    XCloseDisplay(display);
    return result;
}

#else  // no X11 in this SDL: nothing below SDL to reach

bool setGamma(SDL_Window*, const uint16_t*) { return false; }
bool windowSize(SDL_Window*, int&, int&) { return false; }
unsigned long saverRootWindow() {
    unsigned long id = 0;
    return parseWindowId(std::getenv("XSCREENSAVER_WINDOW"), id) ? id : 0;
}
int runPreview(unsigned long, const uint8_t*, size_t) { return 0; }

#endif

}  // namespace ravelin::x11
