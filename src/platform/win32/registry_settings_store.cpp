#include "platform/win32/registry_settings_store.h"

#include <windows.h>

namespace ravelin {
namespace {

std::wstring wideName(std::string_view name) {
    // Value names are short ASCII words.
    return std::wstring(name.begin(), name.end());
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

// The system's own words for a registry status, without the trailing line break.
std::string systemReason(long status) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, DWORD(status), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) return "error " + std::to_string(status);
    return narrow(text);
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore() : RegistrySettingsStore(kDefaultSubKey) {}

RegistrySettingsStore::RegistrySettingsStore(std::wstring subKey) : subKey_(std::move(subKey)) {}

RegistrySettingsStore::~RegistrySettingsStore() {
    if (key_) RegCloseKey(static_cast<HKEY>(key_));
}

void RegistrySettingsStore::fail(const char* what, long status) {
    // The first failure of a session is the one worth telling; later ones follow from it.
    if (!lastFailure_.empty()) return;
    lastFailure_ = "HKEY_CURRENT_USER\\" + narrow(subKey_) + ": " + what + ": " + systemReason(status);
}

bool RegistrySettingsStore::open(bool forWriting) {
    close();
    writing_ = forWriting;
    if (forWriting) lastFailure_.clear();
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  forWriting ? KEY_WRITE : KEY_READ, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        if (forWriting) fail("cannot open the key", status);
        return false;
    }
    key_ = key;
    return true;
}

bool RegistrySettingsStore::query(std::string_view name, uint32_t& value) {
    if (!key_ || writing_) return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG status = RegQueryValueExW(static_cast<HKEY>(key_), wideName(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&data), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return false;
    value = data;
    return true;
}

void RegistrySettingsStore::set(std::string_view name, uint32_t value) {
    if (!key_ || !writing_) return;
    DWORD data = value;
    LONG status = RegSetValueExW(static_cast<HKEY>(key_), wideName(name).c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&data), sizeof data);
    if (status != ERROR_SUCCESS) fail(("cannot write " + std::string(name)).c_str(), status);
}

void RegistrySettingsStore::close() {
    if (!key_) return;
    // Each write is in the key once RegSetValueExW returned: closing has nothing left to commit.
    RegCloseKey(static_cast<HKEY>(key_));
    key_ = nullptr;
}

}  // namespace ravelin
