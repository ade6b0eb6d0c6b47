// The primary display's modes (current, listed, switched to and back), the display adapters as
// the monitor table sees them, and the device gamma ramp, which is read before the first change
// so that the user's own ramp can be put back. Win32Platform owns one DisplaySettings.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace ravelin {

class DisplaySettings {
public:
    bool currentMode(DisplayMode& mode) const;
    bool enumMode(int index, DisplayMode& mode) const;
    // Full-screen switch (CDS_FULLSCREEN: the system puts the desktop mode back itself should
    // the process die); true when the display took the mode.
    bool switchMode(const DisplayMode& mode);
    void restoreMode();
    bool enumAdapter(int index, DisplayAdapter& adapter) const;

    // Sets the ramp on the device context; the first call reads the ramp in force first.
    bool setGammaRamp(HDC dc, const uint16_t* ramp);
    // Puts the ramp read before the first change back; false when none was read.
    bool restoreGammaRamp(HDC dc);

private:
    bool savedRampValid_ = false;
    bool rampRead_ = false;
    std::array<WORD, 768> savedRamp_{};
};

}  // namespace ravelin
