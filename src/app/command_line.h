// The host's command line turned into a run mode: one switch (/c, /p, /s, /t or -x) with an
// optional window number. Pure text logic; called by the start-up sequence.
#pragma once

#include <string_view>

#include "app/screensaver_app.h"

namespace ravelin {

// The whole command line, executable path first. parentWindow becomes the number after a C or P
// switch (0 when there is none).
ScreensaverApp::RunMode parseCommandLine(std::string_view commandLine, WindowHandle& parentWindow);

}  // namespace ravelin
