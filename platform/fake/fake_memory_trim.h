#pragma once

#include "platform/api/memory_trim.h"

namespace orvanta::platform::fake {

// Counts the trims asked for.
class FakeMemoryTrim : public MemoryTrim {
  public:
    void trimWorkingSet() override { ++trims; }
    int trims = 0;
};

} // namespace orvanta::platform::fake
