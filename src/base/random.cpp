#include "base/random.h"

namespace ravelin {

Random& rng() {
    static Random generator;
    return generator;
}

}  // namespace ravelin
