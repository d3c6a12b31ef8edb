#include "platform/linux/linux_memory_trim.h"

#include <malloc.h>

namespace orvanta::platform::linux_backend {

void LinuxMemoryTrim::trimWorkingSet() {
    malloc_trim(0);
}

} // namespace orvanta::platform::linux_backend
