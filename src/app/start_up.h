// The entry point's work common to every run mode: factory settings and dialog texts loaded,
// settings record filled (defaults, store, desktop mode), command line read, monitor table
// built; then exactly one activity runs. The shell supplies the activities and calls
// runApplication once from main.
#pragma once

#include <functional>
#include <string_view>

#include "app/screensaver_app.h"

namespace ravelin {

// Resource ids of the two embedded texts (type "CustomData").
constexpr uint16_t kUiTextResource = 116;
constexpr uint16_t kDefaultSettingsResource = 117;

// The start-up sequence, in its fixed order. Always succeeds: missing values keep defaults and
// a failed desktop-mode query keeps the mode as it was.
bool startUp(ScreensaverApp& app, std::string_view commandLine);

// The three activities, provided by the shell. An empty one simply does nothing.
struct Activities {
    std::function<int(ScreensaverApp&)> runSaver;      // Saver and SaverAlt
    std::function<int(ScreensaverApp&)> runConfigure;  // Configure
    std::function<int(ScreensaverApp&)> runPreview;    // Preview
};

// Runs the activity the app's run mode selects; tests run, then configuration, then preview.
// Returns what the activity returned (0 when none ran).
int dispatchActivity(ScreensaverApp& app, const Activities& activities);

// startUp, then the one activity. Returns 0 whatever the activity returned: the host does not
// look at a screensaver's exit status.
int runApplication(ScreensaverApp& app, std::string_view commandLine, const Activities& activities);
int runApplication(std::string_view commandLine, const Activities& activities);

}  // namespace ravelin
