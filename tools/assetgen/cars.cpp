// Placeholder until this module is written: adds nothing.
#include "assetgen.h"

namespace assetgen {

void generateCars(AssetSink& sink) { (void)sink; }

}  // namespace assetgen
