// The few things the Linux shell does on X11 directly, below SDL: gamma through XRandR's
// per-CRTC ramps, the size of a window another program owns, the xscreensaver root window and
// the preview picture painted into the host's window. SdlPlatform and main.cpp call these;
// this file keeps Xlib's macros (None, Bool, Status) away from the rest of the shell.
#pragma once

#include <cstddef>
#include <cstdint>

struct SDL_Window;

namespace ravelin::x11 {

// Sets the gamma of the CRTC that shows the primary output (or the window's centre) to the
// 768-entry ramp (red, green, blue; 256 each), resampled to the CRTC's own ramp size. False
// when the window is not on X11, XRandR is missing or the CRTC has no gamma ramp.
bool setGamma(SDL_Window* window, const uint16_t* ramp);

// The current size of an X window (a foreign one included), read from the server.
bool windowSize(SDL_Window* window, int& width, int& height);

// The window xscreensaver asks a hack to draw into: $XSCREENSAVER_WINDOW (hex or decimal), else
// the default screen's root window; 0 when there is no X display.
unsigned long saverRootWindow();

// Parses a window id in hex (0x…) or decimal; false when the text is not a whole number or 0.
bool parseWindowId(const char* text, unsigned long& id);

// Paints the BMP (a whole .bmp file, or a bitmap resource without its file header) into a child
// window of `parent` until the child or its parent goes away. Returns 1 after a normal end, 0
// when the window cannot be created (no display, no such parent).
int runPreview(unsigned long parent, const uint8_t* bmp, size_t size);

}  // namespace ravelin::x11
