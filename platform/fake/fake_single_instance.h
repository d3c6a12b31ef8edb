#pragma once

#include "platform/api/single_instance.h"

#include <string>

namespace orvanta::platform::fake {

// An instance claim the test decides: the first copy unless told that another one runs. The address is
// the test's own, so a test can stand in for the running copy by listening there.
class FakeSingleInstance : public SingleInstance {
  public:
    explicit FakeSingleInstance(std::string address, bool anotherCopyRuns = false)
        : address_(std::move(address)), anotherCopyRuns_(anotherCopyRuns) {}

    bool claim() override;
    std::string claimFailure() const override { return failure_; }
    std::string handOverAddress() const override { return address_; }

    // From now on the claim cannot be made, for the reason given.
    void failClaims(std::string reason) { failure_ = std::move(reason); }

    int claims() const { return claims_; }

  private:
    std::string address_;
    bool anotherCopyRuns_;
    std::string failure_;
    int claims_ = 0;
};

} // namespace orvanta::platform::fake
