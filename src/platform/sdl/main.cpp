// Entry point of the Linux screensaver. The shell's own long options come first: --capture and
// --benchmark (the saver's own run, windowed, with a fixed seed, recording its frames), --capture-audio
// (the offline mix), --root and --window-id (xscreensaver hosting). Everything else is the
// screensaver command line (/s, /c, /p ID, …) that the core's start-up parses; then exactly one
// activity runs: the full-screen run, the GTK configuration dialog or the preview.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/offline_mix.h"
#include "app/saver_run.h"
#include "app/start_up.h"
#include "app/unattended_run.h"
#include "platform/gtk/config_dialog.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/x11_support.h"

namespace {

using namespace ravelin;

constexpr uint16_t kPreviewBitmap = 112;

bool isShellRunOption(std::string_view arg) {
    return arg == "--capture" || arg == "--benchmark" || arg == "--no-multitexture";
}

// X11 window ids are written in hex; the switch's digit scan only reads decimal, so a hex id
// after /p or /c (or on its own after them) is rewritten as its decimal value.
std::string decimalWindowIds(std::string_view arg) {
    unsigned long id = 0;
    size_t digits = arg.find("0x") != std::string_view::npos ? arg.find("0x") : arg.find("0X");
    if (digits == std::string_view::npos) return std::string(arg);
    std::string number(arg.substr(digits));
    if (!x11::parseWindowId(number.c_str(), id)) return std::string(arg);
    return std::string(arg.substr(0, digits)) + std::to_string(id);
}

struct ShellOptions {
    bool hosted = false;
    unsigned long hostWindow = 0;
    std::string commandLine = "ravelin";
    std::string error;
};

bool parseShellOptions(int argc, char** argv, ShellOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--root" || arg == "-root") {
            options.hosted = true;
            options.hostWindow = x11::saverRootWindow();
            if (!options.hostWindow) {
                options.error = "no window to draw into (no X display)";
                return false;
            }
        } else if (arg == "--window-id" || arg == "-window-id") {
            if (i + 1 >= argc || !x11::parseWindowId(argv[i + 1], options.hostWindow)) {
                options.error = std::string(arg) + " needs a window id (hex 0x… or decimal)";
                return false;
            }
            options.hosted = true;
            ++i;
        } else {
            options.commandLine += ' ';
            options.commandLine += decimalWindowIds(arg);
        }
    }
    // A hosted run is always the screensaver run, whatever else the line says.
    if (options.hosted) options.commandLine = "ravelin /s";
    return true;
}

int runUnattended(SdlPlatform& sdl, int argc, char** argv) {
    RunOptions options;
    options.startCounter = sdl.counter();
    std::string error;
    if (!parseRunOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "ravelin: %s\n%s\n", error.c_str(), kRunOptionsUsage);
        return 2;
    }
    if (!sdl.videoAvailable()) {
        std::fprintf(stderr, "ravelin: no display available (set DISPLAY, or run under xvfb-run)\n");
        return 1;
    }
    // Unattended runs never wait for a person and always draw the same window size.
    sdl.setNonBlocking(true);
    sdl.setFullScreen(false);
    if (options.mode == UnattendedMode::Capture) sdl.setFixedLocalTime(&options.time);
    return runFrames(options);
}

}  // namespace

int main(int argc, char** argv) {
    SdlPlatform sdl;  // the platform of this process until main returns

    int exitCode = 0;
    if (argc >= 2 && std::string_view(argv[1]) == "--capture-audio")  // the offline mix needs no display
        return runAudioCaptureCommand(argc, argv);
    if (argc >= 2 && isShellRunOption(argv[1])) return runUnattended(sdl, argc, argv);

    ShellOptions shell;
    if (!parseShellOptions(argc, argv, shell)) {
        std::fprintf(stderr, "ravelin: %s\n", shell.error.c_str());
        return 2;
    }
    if (shell.hosted) {
        sdl.setHostWindow(shell.hostWindow);
        sdl.setNonBlocking(true);
    }

    Activities activities;
    activities.runSaver = [&](ScreensaverApp& app) {
        // Without a display there is nothing to draw on; a person starting it deserves a reason.
        if (!sdl.videoAvailable()) {
            std::fprintf(stderr, "ravelin: no display available (set DISPLAY, or run under xvfb-run)\n");
            exitCode = 1;
            return 0;
        }
        SaverOptions options;
        options.hosted = shell.hosted;
        if (runSaver(app, options) != SaverResult::Finished) exitCode = 1;
        return 0;
    };
    activities.runConfigure = [](ScreensaverApp& app) { return runConfigDialog(app.parentWindow); };
    activities.runPreview = [&](ScreensaverApp& app) {
        ByteRange bitmap = sdl.findResource("BITMAP", kPreviewBitmap);
        int result = x11::runPreview(static_cast<unsigned long>(app.parentWindow), bitmap.data, bitmap.size);
        if (result == 0) {
            sdl.messageBox("Cannot creat window!", "ERROR", TextEncoding::Cp1251);
            exitCode = 1;
        }
        return result;
    };
    runApplication(shell.commandLine, activities);
    return exitCode;
}
