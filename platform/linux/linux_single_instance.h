#pragma once

#include "platform/api/single_instance.h"
#include "platform/linux/hand_over_socket.h"
#include "platform/linux/unique_fd.h"

#include <string>

namespace orvanta::platform::linux_backend {

// The claim is an exclusive flock on "<runtime folder>/<name>.lock", held through a descriptor that lives
// as long as this object; the kernel drops it when the process ends, however it ends, so a crashed copy
// never blocks the next start. The hand-over address is "<runtime folder>/<name>", a Unix-domain socket.
//
// Whoever may write the runtime folder can take or fake the claim, so the folder must be this user's
// own and closed to writes of others; a folder that is not, or a lock that cannot be opened or taken for
// any reason but another copy holding it, refuses the claim with a reason.
class LinuxSingleInstance : public SingleInstance {
  public:
    enum class Folder {
        Given,    // must exist already (the session's runtime folder)
        Fallback, // made here, private to this user, in shared space such as /tmp
    };

    // The runtime folder is $XDG_RUNTIME_DIR as it is now; without one, a private folder under /tmp
    // named after the user id.
    explicit LinuxSingleInstance(std::string name = kInstanceName);
    LinuxSingleInstance(std::string runtimeFolder, std::string name, Folder kind = Folder::Given);

    bool claim() override;
    std::string claimFailure() const override { return failure_; }
    std::string handOverAddress() const override;
    std::shared_ptr<void> listenForHandOver(std::function<void(HandOverRequest)> heard) override;
    bool handOver(HandOverRequest request, std::chrono::milliseconds timeout) override;

    std::string lockPath() const;

  private:
    bool refuse(const std::string& reason);
    bool folderUsable();

    std::string folder_;
    std::string name_;
    Folder kind_;
    std::string failure_;
    UniqueFd lock_;
};

} // namespace orvanta::platform::linux_backend
