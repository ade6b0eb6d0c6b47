// Entry point of the Windows screensaver (ravelin.scr). The system starts it with one switch:
// /s the full-screen run, /c or /c:HWND or none the configuration dialog, /p HWND the preview
// inside the settings page's little screen (/a, the password change of old Windows, is no
// switch of its own here and starts the full-screen run, as does any other letter). The shell's
// own long options come first: --capture and --benchmark (the saver's own run in a window, with
// a fixed seed, for frames and figures) and --capture-audio (the offline mix).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/offline_mix.h"
#include "app/saver_run.h"
#include "app/start_up.h"
#include "app/unattended_run.h"
#include "platform/win32/config_dialog.h"
#include "platform/win32/preview_window.h"
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/win32_platform.h"

namespace {

using namespace ravelin;

bool isShellRunOption(const std::string& arg) {
    return arg == "--capture" || arg == "--benchmark" || arg == "--no-multitexture";
}

// A GUI program started from a console has no standard streams of its own: the unattended
// runs report through the console of whoever started them, when there is one.
void useParentConsole() {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

int runUnattended(Win32Platform& win32, const std::vector<const char*>& argv) {
    useParentConsole();
    // Nobody waits at the screen: no message box may stop the run, the window is an ordinary
    // one, and a capture's clock shows the asked time.
    win32.setNonBlocking(true);
    win32.setFullScreen(false);
    if (argv.size() >= 2 && std::string(argv[1]) == "--capture-audio")
        return runAudioCaptureCommand(int(argv.size()), argv.data());
    RunOptions options;
    options.startCounter = win32.counter();
    std::string error;
    if (!parseRunOptions(int(argv.size()), argv.data(), options, error)) {
        std::fprintf(stderr, "ravelin: %s\n%s\n", error.c_str(), kRunOptionsUsage);
        return 2;
    }
    if (options.mode == UnattendedMode::Capture) win32.setFixedLocalTime(&options.time);
    return runFrames(options);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The display's real pixels: otherwise Windows hands a scaled desktop to the program and
    // stretches its full-screen picture up to the display, blurred.
    SetProcessDPIAware();
    Win32Platform win32;  // the platform of this process until WinMain returns

    const std::vector<std::string> arguments = commandLineArguments();
    if (arguments.size() >= 2 && (isShellRunOption(arguments[1]) || arguments[1] == "--capture-audio")) {
        std::vector<const char*> argv;
        for (const std::string& arg : arguments) argv.push_back(arg.c_str());
        return runUnattended(win32, argv);
    }

    win32.setShowCommand(showCommand);
    // The user's settings live in the registry; the unattended runs above keep the defaults so
    // their frames and figures do not depend on the machine's choices.
    RegistrySettingsStore registry;
    win32.setSettingsStore(&registry);
    Activities activities;
    activities.runSaver = [](ScreensaverApp& app) {
        runSaver(app);
        return 0;
    };
    activities.runConfigure = [](ScreensaverApp& app) { return runConfigDialog(app.parentWindow); };
    activities.runPreview = [](ScreensaverApp& app) {
        return runPreview(reinterpret_cast<HINSTANCE>(app.instance), reinterpret_cast<HWND>(app.parentWindow),
                          app.showCommand);
    };
    ScreensaverApp app;
    app.instance = reinterpret_cast<uintptr_t>(instance);
    app.showCommand = showCommand;
    // The system's own 8-bit command line: the switch and the decimal window number are ASCII.
    return runApplication(app, GetCommandLineA(), activities);
}
