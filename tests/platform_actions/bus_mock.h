#pragma once

#include "platform/linux/system_bus.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace orvanta::test {

// Reads and steers python3-dbusmock objects through their org.freedesktop.DBus.Mock interface.
class BusMock {
  public:
    // One call's arguments, each as text: numbers in decimal, booleans as true/false, strings as they are.
    using Arguments = std::vector<std::string>;

    enum class Bus { System, Session };
    BusMock(std::string service, std::string path, Bus bus = Bus::System);

    bool present() const;

    // The arguments of every call of the method since the last clearCalls; nullopt when the mock did not
    // answer.
    std::optional<std::vector<Arguments>> methodCalls(const std::string& method) const;
    bool clearCalls() const;
    // Python code raising an exception makes the method answer with an error.
    bool addMethod(const std::string& interface, const std::string& name, const std::string& inSignature,
                   const std::string& code = "", const std::string& outSignature = "") const;
    // The logind template's session; true also when it exists already.
    bool addSession(const std::string& id, const std::string& seat, uint32_t uid,
                    const std::string& user) const;

  private:
    std::string service_;
    std::string path_;
    platform::linux_backend::SystemBus bus_;
};

// A dbusmock process of our own on the session bus that owns `service`, with one object; ended by its
// process id when this goes.
class SpawnedBusMock {
  public:
    SpawnedBusMock(const std::string& service, const std::string& path, const std::string& interface);
    ~SpawnedBusMock();
    SpawnedBusMock(const SpawnedBusMock&) = delete;
    SpawnedBusMock& operator=(const SpawnedBusMock&) = delete;

    // True once the mock owns its name.
    bool ready() const { return ready_; }

  private:
    std::string service_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

} // namespace orvanta::test
