#include "allocation_counter.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string_view>

// AddressSanitizer brings its own operator new; replacing it would fight the sanitizer, so the
// count is taken in ordinary builds only.
#if defined(__SANITIZE_ADDRESS__)
#define RAVELIN_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RAVELIN_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef RAVELIN_COUNT_ALLOCATIONS
#define RAVELIN_COUNT_ALLOCATIONS 1
#endif

namespace ravelin::testing {
namespace {

thread_local bool tCounting = false;
std::atomic<long> gOurs{0};
std::atomic<long> gForeign{0};
std::atomic<bool (*)()> gSorter{nullptr};

bool driverModule(const char* path) {
    if (!path) return false;
    std::string_view p = path;
    return p.find("dri") != std::string_view::npos || p.find("LLVM") != std::string_view::npos ||
           p.find("libGL") != std::string_view::npos || p.find("libSDL") != std::string_view::npos ||
           p.find("libX") != std::string_view::npos || p.find("libxcb") != std::string_view::npos;
}

}  // namespace

bool allocatedOutsideTheDriver() {
    void* frames[32];
    const int n = backtrace(frames, 32);
    for (int i = 2; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info)) continue;
        if (driverModule(info.dli_fname)) return false;
    }
    return true;
}

const bool kCountsAllocations = RAVELIN_COUNT_ALLOCATIONS != 0;

void countAllocations(bool on) { tCounting = on; }
long countedAllocations() { return gOurs.load(); }
long foreignAllocations() { return gForeign.load(); }
void resetAllocationCounts() {
    gOurs = 0;
    gForeign = 0;
}
void setAllocationSorter(bool (*isOurs)()) { gSorter = isOurs; }

// Called by the replacement operators below.
void noteAllocation() {
    if (!tCounting) return;
    tCounting = false;
    bool (*sorter)() = gSorter.load();
    if (sorter == nullptr || sorter())
        gOurs.fetch_add(1);
    else
        gForeign.fetch_add(1);
    tCounting = true;
}

}  // namespace ravelin::testing

#if RAVELIN_COUNT_ALLOCATIONS
// The replacements pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ravelin::testing::noteAllocation();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    ravelin::testing::noteAllocation();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif
