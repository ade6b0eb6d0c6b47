// Entry point of the Windows screensaver (ravelin.scr). The start-up common to every run mode
// runs (texts and default settings from the executable's resources, settings from the registry,
// the command line), then the configuration dialog; the full-screen run and the preview arrive
// with the Win32 shell. Until then the run says so, and the preview leaves the host's window as
// it is.
#include <windows.h>

#include "app/start_up.h"
#include "platform/win32/config_dialog.h"
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/win32_platform.h"

namespace {

int notBuiltYet(ravelin::ScreensaverApp&) {
    ravelin::platform().messageBox("The Windows shell of this screensaver is not built yet.", "Ravelin",
                                   ravelin::TextEncoding::Utf8);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ravelin::Win32Platform win32;  // the platform of this process until WinMain returns
    ravelin::RegistrySettingsStore registry;
    win32.setSettingsStore(&registry);
    ravelin::Activities activities;
    activities.runSaver = notBuiltYet;
    activities.runConfigure = [](ravelin::ScreensaverApp& app) { return ravelin::runConfigDialog(app.parentWindow); };
    return ravelin::runApplication(GetCommandLineA(), activities);
}
