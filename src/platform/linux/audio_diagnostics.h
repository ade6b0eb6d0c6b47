// The sound backends' own diagnostics: OpenAL Soft and ALSA print several lines of their own to
// stderr when a device cannot be opened (nine on a machine without a sound card). The shell
// turns them off before any sound starts; the run then says once itself that it is silent.
#pragma once

namespace ravelin {

// OpenAL Soft's log level to none (unless the user has set one) and ALSA's error printer to
// one that prints nothing.
void quietAudioBackends();

}  // namespace ravelin
