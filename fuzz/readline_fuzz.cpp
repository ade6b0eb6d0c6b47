// Fuzzes AssetFile's line reader, reads and seeks over arbitrary bytes: the first byte picks
// the line buffer's size, the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/asset_file.h"
#include "platform/fake/fake_platform.h"

using namespace ravelin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static FakePlatform* fake = new FakePlatform;
    const size_t capacity = 1 + data[0] % 200;
    std::vector<uint8_t> blob(data + 1, data + size);
    fake->addResource("CustomData", 300, blob);
    AssetFile file;
    if (file.openEntry("no archive is embedded here")) __builtin_trap();
    if (!file.openResource(300)) return 0;
    std::vector<char> line(capacity);
    int guard = 0;
    while (!file.pastEnd() && ++guard < 100000) {
        bool full = file.readLine(line.data(), capacity);
        if (std::strlen(line.data()) >= capacity) __builtin_trap();
        if (!full && !file.pastEnd()) __builtin_trap();  // false only when the data ran out
    }
    // Reads and seeks driven by the data itself.
    for (size_t i = 1; i + 1 < size && i < 64; i += 2) {
        uint8_t buffer[64];
        file.seek(static_cast<int8_t>(data[i]), data[i] % 4);  // origin 3 is not one
        file.read(buffer, data[i + 1] % sizeof buffer);
    }
    return 0;
}
