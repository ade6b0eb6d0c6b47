// The configuration and about dialogs on GTK 3: views over ConfigDialogModel and
// AboutDialogModel. The Linux shell calls runConfigDialog for `ravelin -c` (and no switch);
// each run owns its windows and model, and edits the records it is given in place.
#pragma once

#include <functional>

#include "platform/platform.h"
#include "settings/dialog_model.h"
#include "settings/settings.h"

typedef struct _GtkWidget GtkWidget;

namespace ravelin {

// Shows the configuration dialog modally over `live` (Restore Defaults copies `defaults`),
// transient for the X11 window `parentWindow` when it is not 0 and the window system allows.
// Initialises GTK itself; without a display nothing is shown or saved. Returns the id the
// dialog closed with: 1 after OK (saved through services.save), 2 otherwise.
int runConfigDialog(WindowHandle parentWindow, ScreensaverSettings& live, const ScreensaverSettings& defaults,
                    DialogServices services);

// The same over the process-wide live and defaults records with the standard services: what
// the shell runs for `ravelin -c` once start-up has loaded the settings and texts.
int runConfigDialog(WindowHandle parentWindow);

// Called each time a dialog window has been shown and drawn, with the window and whether it is
// the about box; lets tests and screenshot tools script the dialog. Empty to remove.
void setDialogShownHook(std::function<void(GtkWidget* window, bool about)> hook);

// The widget of a control id inside a dialog window (named "control-<id>"); nullptr if none.
GtkWidget* findDialogControl(GtkWidget* window, int id);

}  // namespace ravelin
