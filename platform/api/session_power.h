#pragma once

#include <string>
#include <vector>

namespace orvanta::platform {

// How the system took a power or session request.
enum class RequestResult {
    done,       // accepted; whether the system then goes through with it is its own business
    refused,    // the service answered no (not permitted, inhibited, cancelled)
    unavailable // nothing here can do it: no service, no display, no such feature
};

struct PrivilegeResult {
    bool enabled = true;
    // One line per problem met on the way, in English, for the program's standard output.
    std::vector<std::string> problems;
};

// Ends the session or the system, suspends it, locks it and switches the monitor off. Each request
// stands alone and answers at once; none waits for the computer to actually go down.
class SessionPower {
  public:
    virtual ~SessionPower() = default;

    // Where the system wants a privilege before it lets a program shut it down, takes it for this
    // process for the rest of its life. Systems that decide per request report enabled and no problems.
    virtual PrivilegeResult enableShutdownPrivilege() = 0;

    // force: end programs without asking them first, where the system makes that distinction.
    virtual RequestResult powerOff(bool force) = 0;
    virtual RequestResult reboot(bool force) = 0;

    // Asks the desktop to end the session as a user's log off would; programs may still save.
    virtual RequestResult logOffPolitely() = 0;
    // Ends the session and every program in it without asking them.
    virtual RequestResult terminateSession() = 0;

    virtual RequestResult suspend() = 0;
    virtual RequestResult hibernate() = 0;
    virtual RequestResult lockSession() = 0;
    virtual RequestResult turnMonitorOff() = 0;

    // The system's own words for why the last request of this object was refused or could not be
    // made (who held an inhibitor, say); empty when it gave none. For the run history.
    virtual std::string lastRefusal() const { return {}; }
};

} // namespace orvanta::platform
