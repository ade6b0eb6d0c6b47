// Placeholder until this module is written: adds nothing.
#include "assetgen.h"

namespace assetgen {

void generateCameraMoves(AssetSink& sink) { (void)sink; }

}  // namespace assetgen
