#pragma once

namespace orvanta::platform {

// The desktop's short notification sound.
class AlertSound {
  public:
    virtual ~AlertSound() = default;
    // False when there is nothing this process can sound it on.
    virtual bool beep() = 0;
};

} // namespace orvanta::platform
