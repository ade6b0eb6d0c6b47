// No audio library linked in (the Windows screensaver, which carries it as a DLL resource and
// binds it by name): without that resource the binding's table stays empty and the run is silent.
#include "sound/sound_system.h"

namespace ravelin {

AudioEntryPoints audioLibraryEntryPoints() { return {}; }

}  // namespace ravelin
