#include "platform/linux/file_settings_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace ravelin {
namespace {

// A settings file is a few hundred bytes; anything far larger is not ours to read whole.
constexpr size_t kMaxFileBytes = 1 << 20;

// Temporary files of a save: ".settings.conf.<pid>.XXXXXX", so that a later save can tell the
// ones a killed save left (their process is gone) from one being written right now.
constexpr char kTempPrefix[] = ".settings.conf.";

std::string failureText(const std::string& path) { return path + ": " + std::strerror(errno); }

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// mkdir -p for one absolute or relative path; folders we create are private to the user.
bool makeFolders(const std::string& path) {
    if (path.empty()) return false;
    std::string partial;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        partial = path.substr(0, slash);
        pos = slash + 1;
        if (partial.empty()) continue;  // the root of an absolute path
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

FileSettingsStore::FileSettingsStore() : FileSettingsStore(configHomeFromEnvironment()) {}

FileSettingsStore::FileSettingsStore(std::string configHome) {
    if (configHome.empty()) return;  // no home at all: every open fails, as an unopenable key
    while (configHome.size() > 1 && configHome.back() == '/') configHome.pop_back();
    folder_ = configHome + "/ravelin";
    file_ = folder_ + "/settings.conf";
}

std::string FileSettingsStore::configHomeFromEnvironment() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // The base directory rules say a relative value is invalid and must be ignored.
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return std::string(pw->pw_dir) + "/.config";
    return {};
}

bool FileSettingsStore::parseLine(std::string_view line, std::string& name, uint32_t& value) {
    size_t i = 0;
    const size_t n = line.size();
    while (i < n && isBlank(line[i])) ++i;
    size_t nameStart = i;
    while (i < n && isNameChar(line[i])) ++i;
    if (i == nameStart) return false;
    size_t nameEnd = i;
    while (i < n && isBlank(line[i])) ++i;
    if (i >= n || line[i] != '=') return false;
    ++i;
    while (i < n && isBlank(line[i])) ++i;
    bool negative = false;
    if (i < n && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
    size_t digitsStart = i;
    uint64_t magnitude = 0;
    while (i < n && line[i] >= '0' && line[i] <= '9') {
        magnitude = magnitude * 10 + static_cast<uint64_t>(line[i] - '0');
        if (magnitude > 0xFFFFFFFFull) return false;  // not a 32-bit value
        ++i;
    }
    if (i == digitsStart) return false;
    while (i < n && (isBlank(line[i]) || line[i] == '\r')) ++i;
    if (i != n) return false;
    if (negative && magnitude > 0x80000000ull) return false;
    name.assign(line.substr(nameStart, nameEnd - nameStart));
    value = negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(magnitude)) : static_cast<uint32_t>(magnitude);
    return true;
}

bool FileSettingsStore::ensureFolder() const { return makeFolders(folder_); }

bool FileSettingsStore::readFile() {
    values_.clear();
    int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string text;
    char buffer[4096];
    while (text.size() <= kMaxFileBytes) {  // one byte past the cap tells a cut file
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    if (text.size() > kMaxFileBytes) {
        // The cap cut the file: its last line is a fragment ("Width=1280" read as "Width=1"),
        // damaged rather than a value.
        text.resize(kMaxFileBytes);
        size_t lastEnd = text.rfind('\n');
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }

    std::string_view all(text);
    std::string name;
    // Where each name sits in values_: a damaged file can hold a hundred thousand different
    // names, and searching the list for each would take seconds at start-up.
    std::unordered_map<std::string, size_t> place;
    while (!all.empty()) {
        size_t end = all.find('\n');
        std::string_view line = all.substr(0, end);
        all = end == std::string_view::npos ? std::string_view{} : all.substr(end + 1);
        uint32_t value = 0;
        // Comments, damaged and hand-mangled lines simply hold no value.
        if (!parseLine(line, name, value)) continue;
        auto [at, isNew] = place.try_emplace(name, values_.size());
        if (isNew)
            values_.emplace_back(name, value);
        else
            values_[at->second].second = value;  // a later line overrides an earlier one
    }
    return true;
}

bool FileSettingsStore::open(bool forWriting) {
    open_ = false;
    writing_ = forWriting;
    values_.clear();
    if (forWriting) lastFailure_.clear();
    if (file_.empty()) {
        if (forWriting) lastFailure_ = "no home folder to keep the settings in";
        return false;
    }
    if (!ensureFolder()) {
        if (forWriting) lastFailure_ = failureText(folder_);
        return false;
    }
    if (forWriting) {
        readFile();  // an unreadable old file just contributes nothing
        open_ = true;
        return true;
    }
    if (!readFile()) {
        if (errno != ENOENT) return false;
        // First run: leave an empty file behind, as the registry leaves an empty key.
        int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    }
    open_ = true;
    return true;
}

bool FileSettingsStore::query(std::string_view name, uint32_t& value) {
    if (!open_) return false;
    for (const auto& entry : values_) {
        if (entry.first == name) {
            value = entry.second;
            return true;
        }
    }
    return false;
}

void FileSettingsStore::set(std::string_view name, uint32_t value) {
    if (!open_ || !writing_) return;
    for (auto& entry : values_) {
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    }
    values_.emplace_back(std::string(name), value);
}

void FileSettingsStore::close() {
    if (open_ && writing_) lastWriteOk_ = writeFile();
    open_ = false;
    writing_ = false;
    values_.clear();
}

void FileSettingsStore::removeStaleTemporaries() const {
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir) return;
    const size_t prefix = sizeof kTempPrefix - 1;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, kTempPrefix, prefix) != 0) continue;
        // A temporary file whose writer still runs is that writer's; any other is left over.
        char* end = nullptr;
        long pid = std::strtol(name + prefix, &end, 10);
        bool writerAlive = end != name + prefix && *end == '.' && pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        if (!writerAlive) ::unlink((folder_ + "/" + name).c_str());
    }
    ::closedir(dir);
}

bool FileSettingsStore::writeFile() {
    std::string text = "# Ravelin screensaver settings, written by its configuration dialog.\n";
    for (const auto& entry : values_) {
        // Signed, so that a negative brightness reads as -50 rather than 4294967246.
        text += entry.first;
        text += '=';
        text += std::to_string(static_cast<int32_t>(entry.second));
        text += '\n';
    }

    // The new contents go to a temporary file beside the old one, reach the disk, and only then
    // replace the old file by rename: a crash, a kill or a full disk leaves either the old file
    // or the new one, never a half-written or empty file.
    removeStaleTemporaries();
    std::string temp = folder_ + "/" + kTempPrefix + std::to_string(::getpid()) + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        lastFailure_ = failureText(folder_);
        return false;
    }
    bool ok = writeAll(fd, text) && ::fsync(fd) == 0;
    if (!ok) lastFailure_ = failureText(file_);
    if (::close(fd) != 0 && ok) {
        lastFailure_ = failureText(file_);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), file_.c_str()) != 0) {
        lastFailure_ = failureText(file_);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace ravelin
