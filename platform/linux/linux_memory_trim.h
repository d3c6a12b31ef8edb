#pragma once

#include "platform/api/memory_trim.h"

namespace orvanta::platform::linux_backend {

// Hands the free pages at the top of the heap and inside its arenas back to the kernel (malloc_trim).
class LinuxMemoryTrim : public MemoryTrim {
  public:
    void trimWorkingSet() override;
};

} // namespace orvanta::platform::linux_backend
