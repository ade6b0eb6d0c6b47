#include "app/start_up.h"

#include "app/command_line.h"
#include "settings/default_settings_file.h"
#include "settings/settings.h"
#include "settings/ui_text.h"

namespace ravelin {

bool startUp(ScreensaverApp& app, std::string_view commandLine) {
    Platform& p = platform();
    // The factory settings (and the web address they carry), then the dialog texts.
    defaultSettingsFile().load(p.findResource("CustomData", kDefaultSettingsResource));
    mainWebSiteUrl() = lookupDefault("main_web_site_url");
    loadUiText(p.findResource("CustomData", kUiTextResource));

    // Factory values first, so that anything the store lacks keeps them.
    ScreensaverSettings& live = liveSettings();
    applyDefaultsFile(live);

    // The run mode and the host's window.
    app.runMode = parseCommandLine(commandLine, app.parentWindow);

    // The user's stored values win over the factory ones.
    loadSettings();

    // Where the screens are.
    buildMonitorTable(app);

    // Keep the desktop's own mode when asked to; a failed query keeps the stored one.
    if (live.UseDesktop) {
        DisplayMode mode;
        if (p.currentDisplayMode(mode)) {
            live.Width = mode.width;
            live.Height = mode.height;
            live.Depth = mode.bitsPerPixel;
        }
    }

    // What Restore Defaults puts back: the factory values over the live record, so the four
    // fields the file does not name keep their live values.
    ScreensaverSettings& defaults = defaultSettings();
    defaults = live;
    applyDefaultsFile(defaults);
    return true;
}

int dispatchActivity(ScreensaverApp& app, const Activities& activities) {
    using Mode = ScreensaverApp::RunMode;
    if (app.runMode == Mode::Saver || app.runMode == Mode::SaverAlt) {
        return activities.runSaver ? activities.runSaver(app) : 0;
    }
    if (app.runMode == Mode::Configure) {
        return activities.runConfigure ? activities.runConfigure(app) : 0;
    }
    if (app.runMode == Mode::Preview) {
        return activities.runPreview ? activities.runPreview(app) : 0;
    }
    return 0;
}

int runApplication(ScreensaverApp& app, std::string_view commandLine, const Activities& activities) {
    startUp(app, commandLine);
    dispatchActivity(app, activities);
    return 0;
}

int runApplication(std::string_view commandLine, const Activities& activities) {
    ScreensaverApp app;
    return runApplication(app, commandLine, activities);
}

}  // namespace ravelin
