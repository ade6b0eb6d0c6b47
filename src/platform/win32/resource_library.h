// Libraries carried as resource blobs: each is written to a temporary file of its own (prefix
// "bas" in the user's temporary folder), loaded from there, and at unload freed and its file
// deleted. Win32Platform owns one ResourceLibraries and forwards the platform calls to it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ravelin {

class ResourceLibraries {
public:
    ResourceLibraries() = default;
    ~ResourceLibraries();  // unloads whatever is still loaded
    ResourceLibraries(const ResourceLibraries&) = delete;
    ResourceLibraries& operator=(const ResourceLibraries&) = delete;

    // 0 when the bytes are empty, the file cannot be written or the library does not load; no
    // file is left behind then.
    LibraryHandle load(ByteRange image);
    void* symbol(LibraryHandle library, const char* name) const;
    void unload(LibraryHandle library);
    std::wstring file(LibraryHandle library) const;

private:
    struct Loaded {
        HMODULE module = nullptr;
        std::wstring path;
    };
    const Loaded* find(LibraryHandle library) const;
    std::vector<Loaded> loaded_;
};

}  // namespace ravelin
