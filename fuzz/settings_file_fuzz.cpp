// Fuzz target: the per-user settings file as the store reads it back, damaged or edited by hand
// in every way. Each input is written as the file and read through the store; asked for a name
// that a line gives when parsed on its own, the store must answer that line's value (a later
// line overriding an earlier one), and every parsed line must parse back the same once written
// as a save writes it.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/linux/file_settings_store.h"

using namespace ravelin;
namespace fs = std::filesystem;

namespace {

// A private configuration folder for the whole run, removed at exit. The file is rewritten for
// every input, so a folder in memory (/dev/shm) is preferred to the disk unless TMPDIR is set.
struct TemporaryHome {
    std::string path;
    TemporaryHome() {
        std::error_code ec;
        const bool inMemory = !std::getenv("TMPDIR") && fs::is_directory("/dev/shm", ec);
        const fs::path base = inMemory ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "ravelin-settings-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) __builtin_trap();
        path = pattern;
        fs::create_directories(fs::path(path) / "ravelin");
    }
    ~TemporaryHome() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) __builtin_trap();
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) __builtin_trap();
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TemporaryHome home;
    static FileSettingsStore store(home.path);
    writeFile(store.filePath(), data, size);

    // What the file holds, line by line ('\n' ends a line), the last value of a name winning.
    std::unordered_map<std::string, uint32_t> expected;
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::string name;
    while (!all.empty()) {
        const size_t end = all.find('\n');
        const std::string_view line = all.substr(0, end);
        all = end == std::string_view::npos ? std::string_view{} : all.substr(end + 1);
        uint32_t value = 0;
        if (!FileSettingsStore::parseLine(line, name, value)) continue;
        // A save writes "Name=value" with the value signed; that must read back unchanged.
        std::string again;
        uint32_t valueAgain = 0;
        const std::string written = name + "=" + std::to_string(static_cast<int32_t>(value));
        if (!FileSettingsStore::parseLine(written, again, valueAgain) || again != name || valueAgain != value)
            __builtin_trap();
        expected[name] = value;
    }

    if (!store.open(false)) __builtin_trap();
    // A query scans the store's list, as the program's eighteen do: at most 64 names are asked.
    const size_t stride = expected.size() / 64 + 1;
    size_t i = 0;
    for (const auto& [key, value] : expected) {
        if (i++ % stride != 0) continue;
        uint32_t answer = 0;
        if (!store.query(key, answer) || answer != value) __builtin_trap();
    }
    uint32_t unused = 0;
    if (store.query("", unused)) __builtin_trap();  // no line gives an empty name
    store.close();
    return 0;
}
