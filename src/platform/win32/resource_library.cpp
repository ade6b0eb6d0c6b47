#include "platform/win32/resource_library.h"

#include <algorithm>

namespace ravelin {
namespace {

// Writes the whole image; a short write or a failed close is a failure.
bool writeImage(const std::wstring& path, ByteRange image) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < image.size) {
        DWORD chunk = DWORD(std::min<size_t>(image.size - done, size_t(1) << 24));
        DWORD written = 0;
        ok = WriteFile(file, image.data + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    return CloseHandle(file) && ok;
}

}  // namespace

ResourceLibraries::~ResourceLibraries() {
    while (!loaded_.empty()) unload(reinterpret_cast<LibraryHandle>(loaded_.back().module));
}

LibraryHandle ResourceLibraries::load(ByteRange image) {
    if (image.empty()) return 0;
    // Wide-character calls throughout: the temporary folder sits under the user's profile, whose
    // name need not fit the ANSI code page.
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return 0;
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder, L"bas", 0, name) == 0) return 0;  // creates the file, empty
    std::wstring path = name;
    if (!writeImage(path, image)) {
        DeleteFileW(path.c_str());
        return 0;
    }
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        DeleteFileW(path.c_str());
        return 0;
    }
    loaded_.push_back({module, std::move(path)});
    return reinterpret_cast<LibraryHandle>(module);
}

const ResourceLibraries::Loaded* ResourceLibraries::find(LibraryHandle library) const {
    for (const Loaded& l : loaded_)
        if (library && reinterpret_cast<LibraryHandle>(l.module) == library) return &l;
    return nullptr;
}

void* ResourceLibraries::symbol(LibraryHandle library, const char* name) const {
    const Loaded* l = find(library);
    if (!l || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(l->module, name));
}

void ResourceLibraries::unload(LibraryHandle library) {
    const Loaded* l = find(library);
    if (!l) return;
    Loaded gone = *l;
    loaded_.erase(loaded_.begin() + (l - loaded_.data()));
    FreeLibrary(gone.module);
    DeleteFileW(gone.path.c_str());
}

std::wstring ResourceLibraries::file(LibraryHandle library) const {
    const Loaded* l = find(library);
    return l ? l->path : std::wstring();
}

}  // namespace ravelin
