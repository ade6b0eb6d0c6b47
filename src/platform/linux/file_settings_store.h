// The Linux settings store: named 32-bit values in a per-user text file,
// $XDG_CONFIG_HOME/ravelin/settings.conf (default ~/.config), one "Name=value" per line.
// The shell owns one instance and hands it out through Platform::settingsStore().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

class FileSettingsStore final : public SettingsStore {
public:
    // The file under the user's configuration folder, found from the environment.
    FileSettingsStore();
    // The file inside configHome/ravelin (tests point this at a temporary folder).
    explicit FileSettingsStore(std::string configHome);

    // Reading creates the folder and an empty file on a first run; writing starts from the
    // values already in the file so that names we do not know survive a save.
    bool open(bool forWriting) override;
    bool query(std::string_view name, uint32_t& value) override;
    void set(std::string_view name, uint32_t value) override;
    // A store opened for writing replaces the file atomically here. A failed write leaves the
    // old file as it was; lastFailure() then says which file and why.
    void close() override;
    std::string lastFailure() const override { return lastFailure_; }

    const std::string& filePath() const { return file_; }
    // True when the last close() of a writing session replaced the file (for tests).
    bool lastWriteSucceeded() const { return lastWriteOk_; }

    // $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config, else the password
    // database's home folder + /.config; empty when none is known.
    static std::string configHomeFromEnvironment();
    // One line of the file: true with name and value when it is "Name=number" (blanks around
    // either part allowed; the number decimal, signed or unsigned 32-bit).
    static bool parseLine(std::string_view line, std::string& name, uint32_t& value);

private:
    bool ensureFolder() const;
    bool readFile();
    bool writeFile();
    void removeStaleTemporaries() const;

    std::string folder_;
    std::string file_;
    std::vector<std::pair<std::string, uint32_t>> values_;
    bool open_ = false;
    bool writing_ = false;
    bool lastWriteOk_ = false;
    std::string lastFailure_;
};

}  // namespace ravelin
