#include "platform/linux/linux_memory_trim.h"

#include <malloc.h>

namespace orvanta::platform::linux_backend {

void LinuxMemoryTrim::trimWorkingSet() {
    malloc_trim(0);
}

void KeepFreedMemoryForReuse() {
    // Blocks up to the largest size the allocator takes from its heap come from the heap, and the heap
    // keeps up to 256 MB of free space at its top. Either call may be refused; the program then only
    // runs slower.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

} // namespace orvanta::platform::linux_backend
