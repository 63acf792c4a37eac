#pragma once

#include <cstdint>

// Number of calls to the global operator new (every form) since the program started.
// Linking alloc_counter.cpp replaces the global allocation functions of the executable.
uint64_t AllocationCount();
