#pragma once

#include "platform/api/session_power.h"

#include <mutex>
#include <string>
#include <vector>

namespace orvanta::platform::fake {

// Records every request by name, in order: "enableShutdownPrivilege", "powerOff", "powerOff force",
// "reboot", "reboot force", "logOffPolitely", "terminateSession", "suspend", "hibernate", "lockSession",
// "turnMonitorOff".
class FakeSessionPower : public SessionPower {
  public:
    PrivilegeResult enableShutdownPrivilege() override;
    RequestResult powerOff(bool force) override;
    RequestResult reboot(bool force) override;
    RequestResult logOffPolitely() override;
    RequestResult terminateSession() override;
    RequestResult suspend() override;
    RequestResult hibernate() override;
    RequestResult lockSession() override;
    RequestResult turnMonitorOff() override;

    std::vector<std::string> calls() const;
    void clearCalls();
    // Every request after this answers with result.
    void setResult(RequestResult result);
    // The words lastRefusal() gives from now on.
    void setRefusalWords(std::string words) {
        std::lock_guard lock(mutex_);
        refusal_ = std::move(words);
    }
    std::string lastRefusal() const override {
        std::lock_guard lock(mutex_);
        return refusal_;
    }
    // What the privilege request answers.
    void setPrivilege(PrivilegeResult privilege);

  private:
    RequestResult record(std::string call);

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    RequestResult result_ = RequestResult::done;
    PrivilegeResult privilege_;
    std::string refusal_;
};

} // namespace orvanta::platform::fake
