// Owner-less message boxes on GTK 3 for the Linux shell (SdlPlatform::messageBox calls this
// through the hook main.cpp installs). Shown in this process, never a forked helper, so a
// termination signal closes the box and nothing outlives the program.
#pragma once

#include <string>

namespace ravelin {

// Starts GTK once for the dialogs and boxes of this process (without changing the C locale,
// which the text formats are read in); false when no display can be opened.
bool ensureGtk();

// Shows text with caption and an OK button until OK, Esc, the close box or a termination
// request. False when it cannot be shown (no display): the caller reports the text elsewhere.
bool showMessageBox(const std::string& text, const std::string& caption);

// While it lives, calls onTerminate(context) once from the GTK main loop when a termination
// request arrives (at once when one already has). Each modal loop of the shell's dialogs owns
// one and closes itself as Cancel from it.
class TerminationWatch {
public:
    TerminationWatch(void (*onTerminate)(void* context), void* context);
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // Called by the main loop when the request arrives.
    void fire();

private:
    void (*onTerminate_)(void*);
    void* context_;
    unsigned source_ = 0;
};

}  // namespace ravelin
