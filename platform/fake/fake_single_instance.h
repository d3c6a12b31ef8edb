#pragma once

#include "platform/api/single_instance.h"

#include <string>
#include <vector>

namespace orvanta::platform::fake {

// An instance claim the test decides: the first copy unless told that another one runs. A later copy's
// hand-overs are recorded; the test plays a later copy towards a listening one with deliver().
class FakeSingleInstance : public SingleInstance {
  public:
    explicit FakeSingleInstance(std::string address, bool anotherCopyRuns = false)
        : address_(std::move(address)), anotherCopyRuns_(anotherCopyRuns) {}

    bool claim() override;
    std::string claimFailure() const override { return failure_; }
    std::string handOverAddress() const override { return address_; }
    std::shared_ptr<void> listenForHandOver(std::function<void(HandOverRequest)> heard) override;
    bool handOver(HandOverRequest request, std::chrono::milliseconds timeout) override;

    // From now on the claim cannot be made, for the reason given.
    void failClaims(std::string reason) { failure_ = std::move(reason); }

    int claims() const { return claims_; }
    // The requests this copy handed over, in order.
    const std::vector<HandOverRequest>& handOvers() const { return handOvers_; }
    // Tells the listener the request from a thread of its own, as a backend does; false when nobody
    // listens (never started, or the handle is gone).
    bool deliver(HandOverRequest request);

  private:
    std::string address_;
    bool anotherCopyRuns_;
    std::string failure_;
    int claims_ = 0;
    std::vector<HandOverRequest> handOvers_;
    std::weak_ptr<std::function<void(HandOverRequest)>> heard_;
};

} // namespace orvanta::platform::fake
