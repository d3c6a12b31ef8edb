#pragma once

#include "platform/api/memory_trim.h"

namespace orvanta::platform::linux_backend {

// Hands the free pages at the top of the heap and inside its arenas back to the kernel (malloc_trim).
class LinuxMemoryTrim : public MemoryTrim {
  public:
    void trimWorkingSet() override;
};

// Keeps the memory the process frees for its own next use rather than handing it back to the kernel at
// once. Rebuilding a large task list frees and allocates buffers of megabytes each time; handed back,
// every page of them must be faulted in again on the next rebuild, which can cost more than the
// rebuild's own work. Called once, at start-up; trimWorkingSet still hands everything back.
void KeepFreedMemoryForReuse();

} // namespace orvanta::platform::linux_backend
