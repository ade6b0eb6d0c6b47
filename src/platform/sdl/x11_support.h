// The few things the Linux shell does on X11 directly, below SDL: gamma through XRandR's
// per-CRTC ramps, the size of a window another program owns, the xscreensaver root window and
// the preview picture painted into the host's window. SdlPlatform and main.cpp call these;
// this file keeps Xlib's macros (None, Bool, Status) away from the rest of the shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SDL_Window;

namespace ravelin::x11 {

// Sets the gamma of the CRTC that shows the primary output (or the window's centre) to the
// 768-entry ramp (red, green, blue; 256 each), resampled to the CRTC's own ramp size. False
// when the window is not on X11, XRandR is missing or the CRTC has no gamma ramp. The CRTC's
// own ramp is read before its first change, for restoreGamma.
bool setGamma(SDL_Window* window, const uint16_t* ramp);
// Puts back exactly the ramps setGamma found (a night light or a calibration survives the
// run). False when none was read: the caller then sets the linear ramp.
bool restoreGamma(SDL_Window* window);

// Replaces Xlib's default error handler (which ends the process) with one that notes the
// error, so that a window destroyed under us is seen by windowLost rather than killing us.
void installErrorHandler();
// True once an X error has been reported and the window's X window no longer exists.
bool windowLost(SDL_Window* window);
// Whether the X window exists on the default display (false without a display).
bool windowExists(unsigned long id);

// Where each display SDL lists on X11 is (in SDL's order: the default screen's primary output,
// then every screen's outputs that show a picture): its X screen, and whether it shows the same
// CRTC as an earlier output of that screen (a cloned output, mirroring another display). Empty
// when XRandR cannot say, or when its count differs from displayCount.
struct DisplayPlace {
    int screen = 0;
    bool defaultScreen = true;  // the screen SDL can put windows on by position
    bool mirrored = false;
};
std::vector<DisplayPlace> displayPlaces(int displayCount);

// A black window covering x, y, width × height of another X screen, where SDL cannot put one
// (SDL places windows by desktop position, and every screen starts at 0, 0). Shown, raised and
// kept black by the server; 0 when it cannot be made. Gone with closeBlankWindows.
unsigned long createBlankWindow(int screen, int x, int y, int width, int height);
void closeBlankWindows();

// Lets the X server keep the window black (its background), so that nothing of ours paints it.
// False when the window is not on X11.
bool setBlackBackground(SDL_Window* window);

// The current size of an X window (a foreign one included), read from the server.
bool windowSize(SDL_Window* window, int& width, int& height);

// The window xscreensaver asks a hack to draw into: $XSCREENSAVER_WINDOW (hex or decimal), else
// the default screen's root window; 0 when there is no X display.
unsigned long saverRootWindow();

// Parses a window id in hex (0x…) or decimal (a leading 0 is still decimal); false when the
// text is not a whole number or 0.
bool parseWindowId(const char* text, unsigned long& id);

// Paints the BMP (a whole .bmp file, or a bitmap resource without its file header) into a child
// window of `parent` until the child or its parent goes away or termination is requested.
// Returns 1 after a normal end, 0 when the window cannot be created (no display, no such parent).
int runPreview(unsigned long parent, const uint8_t* bmp, size_t size);

}  // namespace ravelin::x11
