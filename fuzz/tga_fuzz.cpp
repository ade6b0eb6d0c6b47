// Fuzzes the TGA decoder over arbitrary bytes, taken as a resource blob the way the loader
// takes pictures (and a missing archive entry on the side).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/image.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FakePlatform* fake = new FakePlatform;  // captures the depth message
    fake->messages.clear();
    // The blob is a copy of exactly the input's size, so that any overrun is caught.
    fake->addResource("CustomData", 400, std::vector<uint8_t>(data, data + size));
    Image image;
    if (loadTga("", image, true, 400)) {
        size_t expected = static_cast<size_t>(image.rowLength) * static_cast<size_t>(image.height);
        if (image.pixels.size() != expected) __builtin_trap();
    } else if (image.valid()) {
        __builtin_trap();
    }
    if (loadTga("textures\\absent.tga", image, false, 0) || image.valid()) __builtin_trap();
    return 0;
}
