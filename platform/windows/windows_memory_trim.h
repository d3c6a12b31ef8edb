#pragma once

#include "platform/api/memory_trim.h"

namespace orvanta::platform::windows_backend {

class WindowsMemoryTrim : public MemoryTrim {
  public:
    void trimWorkingSet() override;
};

} // namespace orvanta::platform::windows_backend
