#include "app/screensaver_app.h"

namespace ravelin {
namespace {

// A platform that never stops listing (mirroring) adapters must not hang start-up.
constexpr int kMaxAdapterIndex = 256;

}  // namespace

void buildMonitorTable(ScreensaverApp& app) {
    app.monitorCount = 0;
    for (int i = 0; i < kMaxAdapterIndex; ++i) {
        DisplayAdapter adapter;
        if (!platform().enumDisplayAdapter(i, adapter)) break;
        if (adapter.mirroring) continue;
        MonitorSlot& slot = app.monitors[app.monitorCount];
        slot = MonitorSlot{};
        if (adapter.attachedToDesktop) {
            const int width = adapter.rect.right - adapter.rect.left;
            const int height = adapter.rect.bottom - adapter.rect.top;
            // The primary display defines the desktop origin whatever its mode reports.
            slot.rect.left = adapter.primary ? 0 : adapter.rect.left;
            slot.rect.top = adapter.primary ? 0 : adapter.rect.top;
            slot.rect.right = slot.rect.left + width;
            slot.rect.bottom = slot.rect.top + height;
            slot.monitor = adapter.monitorHandle;
        }
        // Unattached adapters still take a slot and count toward the nine.
        if (++app.monitorCount == ScreensaverApp::kMaxMonitors) break;
    }
}

}  // namespace ravelin
