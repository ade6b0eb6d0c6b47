// The Windows settings store: named REG_DWORD values under one key of the current user's hive,
// HKEY_CURRENT_USER\Software\BRIMLOW Studio\Ravelin. Opening creates the key, so a first run
// leaves an empty key behind. The shell owns one instance and hands it out through
// Platform::settingsStore().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace ravelin {

class RegistrySettingsStore final : public SettingsStore {
public:
    // The screensaver's own key.
    RegistrySettingsStore();
    // Another key under HKEY_CURRENT_USER (tests use a scratch key).
    explicit RegistrySettingsStore(std::wstring subKey);
    ~RegistrySettingsStore() override;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

    bool open(bool forWriting) override;
    // Only REG_DWORD values count: anything else under a settings name is not a setting.
    bool query(std::string_view name, uint32_t& value) override;
    void set(std::string_view name, uint32_t value) override;
    void close() override;

    // Why the last writing session (opening the key or one of its writes) failed: the key and
    // the system's reason. Empty after a session that wrote everything.
    std::string lastFailure() const override { return lastFailure_; }

    const std::wstring& subKey() const { return subKey_; }

    static constexpr const wchar_t* kDefaultSubKey = L"Software\\BRIMLOW Studio\\Ravelin";

private:
    void fail(const char* what, long status);

    std::wstring subKey_;
    void* key_ = nullptr;  // HKEY while open
    bool writing_ = false;
    std::string lastFailure_;
};

}  // namespace ravelin
