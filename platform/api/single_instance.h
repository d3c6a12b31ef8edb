#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orvanta::platform {

// What a later copy asks of the first: bring the window forward, or bring it forward with the editor
// for a new task.
enum class HandOverRequest { showWindow, newTask };

// One running copy of the program per user session. The first copy claims the instance for its whole
// life; a later copy learns that it is not alone and hands over to the first through the address.
class SingleInstance {
  public:
    virtual ~SingleInstance() = default;

    // Claims the instance for this process until the object is destroyed or the process ends. True when
    // this process is the first copy (also when asked again after a success); false while another
    // process holds the claim, and also when the claim can be neither taken nor checked: two copies
    // would each run every task, so a claim that cannot be made counts as refused.
    virtual bool claim() = 0;

    // Why the last claim could not be made at all, for the user; empty when it was made or another copy
    // holds it. A copy that reads a reason here must not run and must not hand over either.
    virtual std::string claimFailure() const { return {}; }

    // Where the first copy listens for a later copy's hand-over: a local-socket name, the same for every
    // copy in this user's session.
    virtual std::string handOverAddress() const = 0;

    // The first copy's side: takes later copies' requests at the address, taking it over from a copy that
    // ended without cleaning up. Each request is told once, on a thread of the backend's own; listening
    // ends when the returned handle goes, and no request is told after that. Null when the address cannot
    // be listened at.
    virtual std::shared_ptr<void> listenForHandOver(std::function<void(HandOverRequest)> heard) = 0;

    // A later copy's side: delivers the request to the copy listening at the address. False when no copy
    // took it within the time-out.
    virtual bool handOver(HandOverRequest request, std::chrono::milliseconds timeout) = 0;
};

inline constexpr const char* kInstanceName = "TalvenorScheduler";

} // namespace orvanta::platform
