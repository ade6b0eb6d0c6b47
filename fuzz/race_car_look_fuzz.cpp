// Car look files: any bytes parse into a look whose names stay terminated and whose mesh index
// never reaches past the shared lists.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "race/car.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravelin;
    BufferLineSource source(data, size);
    CarLook look;
    parseCarLook(look, source);
    if (std::strlen(look.texture) >= sizeof look.texture) __builtin_trap();
    if (std::strlen(look.helmet) >= sizeof look.helmet) __builtin_trap();
    if (std::strlen(look.shadow) >= sizeof look.shadow) __builtin_trap();
    static CarAssets assets;
    static Car car;
    applyCarLook(car, look, assets);
    return 0;
}
