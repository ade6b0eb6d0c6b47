// The application object: the run mode chosen from the command line, the host's window and the
// monitor table. The entry point (runApplication) owns the one instance for the whole process;
// the activities (saver run, configuration dialog, preview) receive it by reference.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace ravelin {

// One display adapter's place on the desktop.
struct MonitorSlot {
    uintptr_t monitor = 0;  // non-zero only for an adapter attached to the desktop
    Rect rect;              // desktop coordinates; all 0 when not attached
    WindowHandle window = 0;  // set by the saver run
};

struct ScreensaverApp {
    // Kept inside the application object: the run loop has a RunMode of its own (window,
    // capture, benchmark) at namespace level.
    enum class RunMode : int32_t {
        Configure = 0,  // no switch, or C: the configuration dialog owned by parentWindow
        Preview = 1,    // P: the preview inside parentWindow
        Saver = 2,      // any other letter: the full-screen run
        SaverAlt = 3,   // T: the full-screen run as well
    };
    static constexpr uint32_t kMaxMonitors = 9;

    uintptr_t instance = 0;  // the module handle where the system has one; 0 on Linux
    RunMode runMode = RunMode::Configure;
    WindowHandle parentWindow = 0;  // the number after C or P; 0 when none
    int32_t showCommand = 0;        // the system's show command, passed to every window shown
    std::array<MonitorSlot, kMaxMonitors> monitors{};
    uint32_t monitorCount = 0;  // used entries of monitors
};

// Fills monitors from the platform's display adapters: mirroring drivers are skipped, every
// other adapter takes a slot (attached ones with their rectangle and monitor), at most nine.
void buildMonitorTable(ScreensaverApp& app);

}  // namespace ravelin
