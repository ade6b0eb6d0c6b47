#include "platform/win32/display_settings.h"

namespace ravelin {
namespace {

void fromDevMode(const DEVMODEW& dm, DisplayMode& mode) {
    mode.width = static_cast<int>(dm.dmPelsWidth);
    mode.height = static_cast<int>(dm.dmPelsHeight);
    mode.bitsPerPixel = static_cast<int>(dm.dmBitsPerPel);
    // 0 and 1 mean "the hardware's default".
    mode.refreshRate = dm.dmDisplayFrequency > 1 ? static_cast<int>(dm.dmDisplayFrequency) : 0;
}

DEVMODEW emptyDevMode() {
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    return dm;
}

}  // namespace

bool DisplaySettings::currentMode(DisplayMode& mode) const {
    DEVMODEW dm = emptyDevMode();
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm)) return false;
    fromDevMode(dm, mode);
    return true;
}

bool DisplaySettings::enumMode(int index, DisplayMode& mode) const {
    DEVMODEW dm = emptyDevMode();
    if (index < 0 || !EnumDisplaySettingsW(nullptr, static_cast<DWORD>(index), &dm)) return false;
    fromDevMode(dm, mode);
    return true;
}

bool DisplaySettings::switchMode(const DisplayMode& mode) {
    DEVMODEW dm = emptyDevMode();
    dm.dmPelsWidth = static_cast<DWORD>(mode.width);
    dm.dmPelsHeight = static_cast<DWORD>(mode.height);
    dm.dmBitsPerPel = static_cast<DWORD>(mode.bitsPerPixel);
    dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsW(&dm, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void DisplaySettings::restoreMode() { ChangeDisplaySettingsW(nullptr, 0); }

bool DisplaySettings::enumAdapter(int index, DisplayAdapter& adapter) const {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (index < 0 || !EnumDisplayDevicesW(nullptr, static_cast<DWORD>(index), &device, 0)) return false;
    adapter = DisplayAdapter{};
    adapter.mirroring = (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0;
    adapter.attachedToDesktop = (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
    adapter.primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
    if (!adapter.attachedToDesktop) return true;
    DEVMODEW dm = emptyDevMode();
    if (!EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &dm)) return true;
    RECT r{dm.dmPosition.x, dm.dmPosition.y, dm.dmPosition.x + static_cast<LONG>(dm.dmPelsWidth),
           dm.dmPosition.y + static_cast<LONG>(dm.dmPelsHeight)};
    HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    // The monitor's own rectangle is the truth where the system has one (the mode's position
    // field is what the adapter reports, the monitor's is where the desktop put it).
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info)) r = info.rcMonitor;
    adapter.rect = {r.left, r.top, r.right, r.bottom};
    adapter.monitorHandle = reinterpret_cast<uintptr_t>(monitor);
    return true;
}

bool DisplaySettings::setGammaRamp(HDC dc, const uint16_t* ramp) {
    if (!dc) return false;
    if (!rampRead_) {
        rampRead_ = true;
        savedRampValid_ = GetDeviceGammaRamp(dc, savedRamp_.data()) != FALSE;
    }
    std::array<WORD, 768> copy;
    for (size_t i = 0; i < copy.size(); ++i) copy[i] = ramp[i];
    return SetDeviceGammaRamp(dc, copy.data()) != FALSE;
}

bool DisplaySettings::restoreGammaRamp(HDC dc) {
    if (!dc || !savedRampValid_) return false;
    const bool restored = SetDeviceGammaRamp(dc, savedRamp_.data()) != FALSE;
    rampRead_ = savedRampValid_ = false;
    return restored;
}

}  // namespace ravelin
