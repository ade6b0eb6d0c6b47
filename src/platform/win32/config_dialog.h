// The configuration dialog (template 101) and the about box (template 105) on Win32: views over
// ConfigDialogModel and AboutDialogModel. Each message a control sends goes to the model first;
// the controls are then set from the model, so control and record never disagree. Enter, Esc
// and the close box reach the model as OK and Cancel through the system's dialog handling.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "settings/dialog_model.h"
#include "settings/settings.h"

namespace ravelin {

// Runs template 101 of `module` (0: the executable) modally, owned by `owner` (0, or a handle
// that names no window: no owner), over `live`; Restore Defaults copies `defaults`. Returns the
// id the dialog closed with: 1 after OK (saved through services.save), 2 otherwise, also when the
// dialog could not be created.
int runConfigDialog(WindowHandle owner, ScreensaverSettings& live, const ScreensaverSettings& defaults,
                    DialogServices services, uintptr_t module = 0);

// The same over the process-wide live and defaults records with the standard services: the
// screensaver's configuration activity, once start-up has loaded the settings and texts.
int runConfigDialog(WindowHandle owner);

// Runs template 105 modally over `owner`; returns 1 (OK, Enter) or 2 (Esc, the close box).
int runAboutDialog(WindowHandle owner, const DialogServices& services, uintptr_t module = 0);

}  // namespace ravelin
