// Termination requests: SIGTERM, SIGINT and SIGHUP end every mode of the Linux shell through its
// own normal shutdown instead of killing it where it stands (which would leave the display's
// mode, gamma or a half-shown dialog behind). main() installs the handlers once; each loop that
// waits (the run's event poll, the GTK dialogs, the preview) watches the request.
#pragma once

namespace ravelin {

// Installs the handlers for SIGTERM, SIGINT and SIGHUP. Safe to call more than once.
void installTerminationHandlers();

// True once one of the signals has arrived (stays true).
bool terminationRequested();

// A descriptor that becomes readable, and stays readable, once a request has arrived: for
// poll() and main loops that block. -1 before installTerminationHandlers.
int terminationFd();

}  // namespace ravelin
