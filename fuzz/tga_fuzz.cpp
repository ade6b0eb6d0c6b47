// Fuzzes the TGA decoder over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/image.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FakePlatform* fake = new FakePlatform;  // captures the depth message
    fake->messages.clear();
    std::vector<uint8_t> bytes(data, data + size);
    Image image;
    if (decodeTga(bytes.data(), bytes.size(), image)) {
        size_t expected = static_cast<size_t>(image.rowLength) * static_cast<size_t>(image.height);
        if (image.pixels.size() != expected) __builtin_trap();
    } else if (image.valid()) {
        __builtin_trap();
    }
    return 0;
}
