#pragma once

#include <cstddef>

// Bytes of heap the process holds right now, as its allocator counts them
// (the sanitizers' allocator in the sanitizer build, glibc's otherwise).
std::size_t heapInUse();
