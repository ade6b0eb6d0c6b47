#include "platform/linux/termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace ravelin {
namespace {

volatile sig_atomic_t gRequested = 0;
int gPipe[2] = {-1, -1};

void onSignal(int) {
    const int saved = errno;
    gRequested = 1;
    // One byte is enough: nobody reads it, so the read end stays readable from now on.
    if (gPipe[1] >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(gPipe[1], &byte, 1);
    }
    errno = saved;
}

}  // namespace

void installTerminationHandlers() {
    if (gPipe[0] < 0 && ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) gPipe[0] = gPipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep libraries that do not expect EINTR working; every waiting
    // loop of the shell watches the descriptor instead.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

bool terminationRequested() { return gRequested != 0; }

int terminationFd() { return gPipe[0]; }

}  // namespace ravelin
