#pragma once

namespace orvanta::platform {

// Gives memory the program no longer uses back to the system, so a program idling in the notification
// area keeps a small footprint.
class MemoryTrim {
  public:
    virtual ~MemoryTrim() = default;
    virtual void trimWorkingSet() = 0;
};

} // namespace orvanta::platform
