// Entry point of the Linux screensaver. The shell's own long options come first: --capture and
// --benchmark (the saver's own run, windowed, with a fixed seed, recording its frames), --capture-audio
// (the offline mix), --root and --window-id (xscreensaver hosting). Everything else is the
// screensaver command line (/s, /c, /p ID, …) that the core's start-up parses; then exactly one
// activity runs: the full-screen run, the GTK configuration dialog or the preview.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/offline_mix.h"
#include "app/saver_run.h"
#include "app/start_up.h"
#include "app/unattended_run.h"
#include "platform/gtk/config_dialog.h"
#include "platform/gtk/message_box.h"
#include "platform/linux/audio_diagnostics.h"
#include "platform/linux/termination.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/x11_support.h"

namespace {

using namespace ravelin;

constexpr uint16_t kPreviewBitmap = 112;

// Every mode and option, for --help and for a line the program does not understand.
constexpr const char kUsage[] =
    "usage: ravelin [/s | /c | /p WINDOW-ID]       the screensaver, its settings (also: no switch), its preview\n"
    "       ravelin --window-id WINDOW-ID          the moving picture inside another program's window\n"
    "       ravelin --root                         for xscreensaver: into $XSCREENSAVER_WINDOW (else the root)\n"
    "       ravelin --capture DIR [--frames N] [--every K] [--seed S] [--dt SECONDS] [--size WxH] [--time HH:MM:SS]\n"
    "       ravelin --benchmark [--size WxH] [--seconds T]     (both: [--no-multitexture])\n"
    "       ravelin --capture-audio FILE.wav [--seconds N] [--seed S] [--dt SECONDS] [--volume 0-100]\n"
    "                                    [--no-music] [--no-engines]\n"
    "       ravelin --help | --version\n"
    "WINDOW-ID: hex 0x... or decimal. Settings: $XDG_CONFIG_HOME/ravelin/settings.conf.\n";

// Every mode that needs a display says so the same way when there is none.
void reportNoDisplay() { std::fputs("ravelin: no display available (set DISPLAY, or run under xvfb-run)\n", stderr); }

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

// Makes the folder (and its parents) and checks that a file can be created in it.
bool writableFolder(const std::string& folder, std::string& reason) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        reason = ec.message();
        return false;
    }
    std::string probe = folder + "/.ravelin-write-test-XXXXXX";
    int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
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
    // The folder is made and proven writable before anything loads: a capture that cannot
    // write its first frame fails at once, not after the whole start-up.
    if (options.mode == UnattendedMode::Capture && !writableFolder(options.captureDir, error)) {
        std::fprintf(stderr, "ravelin: cannot write frames into %s: %s\n", options.captureDir.c_str(), error.c_str());
        return 1;
    }
    if (!sdl.videoAvailable()) {
        reportNoDisplay();
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
    // Asking how to use it never starts anything (no display, no mode switch, no gamma).
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "-help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("ravelin %s\n", RAVELIN_VERSION);
            return 0;
        }
    }
    // Before anything can wait on a person or a display: every mode ends cleanly on a signal.
    installTerminationHandlers();
    quietAudioBackends();
    SdlPlatform sdl;  // the platform of this process until main returns
    sdl.setMessageBoxShower(showMessageBox);

    int exitCode = 0;
    if (argc >= 2 && std::string_view(argv[1]) == "--capture-audio")  // the offline mix needs no display
        return runAudioCaptureCommand(argc, argv);
    if (argc >= 2 && isShellRunOption(argv[1])) return runUnattended(sdl, argc, argv);

    ShellOptions shell;
    if (!parseShellOptions(argc, argv, shell)) {
        std::fprintf(stderr, "ravelin: %s\n", shell.error.c_str());
        return 2;
    }
    if (shell.hosted && !x11::windowExists(shell.hostWindow)) {
        std::fprintf(stderr, "ravelin: there is no window 0x%lx on the display to draw into\n", shell.hostWindow);
        return 1;
    }
    if (shell.hosted) {
        sdl.setHostWindow(shell.hostWindow);
        sdl.setNonBlocking(true);
    }

    Activities activities;
    activities.runSaver = [&](ScreensaverApp& app) {
        // Without a display there is nothing to draw on; a person starting it deserves a reason.
        if (!sdl.videoAvailable()) {
            reportNoDisplay();
            exitCode = 1;
            return 0;
        }
        SaverOptions options;
        options.hosted = shell.hosted;
        if (runSaver(app, options) != SaverResult::Finished) exitCode = 1;
        return 0;
    };
    activities.runConfigure = [&](ScreensaverApp& app) {
        if (!ensureGtk()) {
            reportNoDisplay();
            exitCode = 1;
            return 0;
        }
        return runConfigDialog(app.parentWindow);
    };
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
