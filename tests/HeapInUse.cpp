#include "tests/HeapInUse.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

std::size_t heapInUse()
{
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // small blocks plus mmapped ones
}
#endif
