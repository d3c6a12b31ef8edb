#pragma once

#include "platform/api/single_instance.h"
#include "platform/linux/unique_fd.h"

#include <string>

namespace orvanta::platform::linux_backend {

// The claim is an exclusive flock on "<runtime folder>/<name>.lock", held through a descriptor that lives
// as long as this object; the kernel drops it when the process ends, however it ends, so a crashed copy
// never blocks the next start. The hand-over address is "<runtime folder>/<name>".
class LinuxSingleInstance : public SingleInstance {
  public:
    // The runtime folder is $XDG_RUNTIME_DIR as it is now; without one, a private folder under /tmp
    // named after the user id.
    explicit LinuxSingleInstance(std::string name = kInstanceName);
    // Tests name the folder; it must exist.
    LinuxSingleInstance(std::string runtimeFolder, std::string name);

    bool claim() override;
    std::string handOverAddress() const override;

    std::string lockPath() const;

  private:
    std::string folder_;
    std::string name_;
    bool sharedTmp_ = false; // the folder is our own under /tmp and is made here
    UniqueFd lock_;
};

} // namespace orvanta::platform::linux_backend
