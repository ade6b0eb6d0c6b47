// Registry helpers shared by the Windows tests: they read and write keys of the current user's
// hive with the registry calls themselves, independently of the store under test.
#pragma once

#include <windows.h>

#include <string>

namespace ravelin {

inline bool keyExists(const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The key with everything under it; nothing when it does not exist.
inline void deleteKey(const std::wstring& subKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, subKey.c_str());
}

inline size_t valueCount(const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}

// True with the value when the name holds a REG_DWORD.
inline bool readDword(const std::wstring& subKey, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

inline void writeValue(const std::wstring& subKey, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void writeDword(const std::wstring& subKey, const wchar_t* name, DWORD value) {
    writeValue(subKey, name, REG_DWORD, &value, sizeof value);
}

inline void writeString(const std::wstring& subKey, const wchar_t* name, const std::wstring& text) {
    writeValue(subKey, name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
}

inline void writeBinary(const std::wstring& subKey, const wchar_t* name, const char* bytes, DWORD size) {
    writeValue(subKey, name, REG_BINARY, bytes, size);
}

inline bool createVolatileKey(const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace ravelin
