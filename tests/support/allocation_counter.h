// Counts this thread's heap allocations (every operator new) while counting is on. The
// replacement operators are in allocation_counter.cpp: only the programs that list that file
// count (the frame allocation test, the render benchmark). A build with AddressSanitizer keeps
// the sanitizer's own operators and counts nothing (kCountsAllocations is false there).
#pragma once

namespace ravelin::testing {

extern const bool kCountsAllocations;

// Counting on or off for the calling thread.
void countAllocations(bool on);
// Allocations counted as ours, and those a sorter gave to someone else, since the last reset.
long countedAllocations();
long foreignAllocations();
void resetAllocationCounts();
// Decides for each counted allocation whether it is ours (true) or, say, the GL driver's. It
// runs with counting paused, so it may allocate itself. Without one, every allocation is ours.
void setAllocationSorter(bool (*isOurs)());

// A sorter for GL programs: the software rasteriser compiles new shader variants with LLVM on
// the caller's thread when a state combination first appears, and SDL and X allocate on their
// own; an allocation with any of their libraries on the stack is theirs.
bool allocatedOutsideTheDriver();

}  // namespace ravelin::testing
