#pragma once

#include "platform/api/program_launcher.h"
#include "platform/api/session_power.h"

#include <string>
#include <vector>

namespace orvanta::ctl {

// What a command's actions could not start, one line each, so that run can end with a failure instead
// of reporting success when nothing happened.
class StartOutcomes {
  public:
    void NoteFailure(std::string what) { failures_.push_back(std::move(what)); }
    const std::vector<std::string>& failures() const { return failures_; }

  private:
    std::vector<std::string> failures_;
};

// The launcher, noting every start the system refused. An address the first way could not open counts
// only when the second way fails too.
class NotingLauncher : public platform::ProgramLauncher {
  public:
    NotingLauncher(platform::ProgramLauncher& inner, StartOutcomes& outcomes)
        : inner_(inner), outcomes_(outcomes) {}
    bool startProgram(const platform::ProgramStart& start) override;
    bool openDocument(const std::string& path) override;
    bool openAddress(const std::string& address) override { return inner_.openAddress(address); }
    bool openAddressWithProtocolHandler(const std::string& address) override;
    bool runElevated(const platform::ProgramStart& start) override;
    bool openPowerSettings() override { return inner_.openPowerSettings(); }

  private:
    bool Noted(bool started, const std::string& what);
    platform::ProgramLauncher& inner_;
    StartOutcomes& outcomes_;
};

// The session and power requests, noting each the system refused or could not take.
class NotingSessionPower : public platform::SessionPower {
  public:
    NotingSessionPower(platform::SessionPower& inner, StartOutcomes& outcomes)
        : inner_(inner), outcomes_(outcomes) {}
    platform::PrivilegeResult enableShutdownPrivilege() override { return inner_.enableShutdownPrivilege(); }
    platform::RequestResult powerOff(bool force) override {
        return Noted(inner_.powerOff(force), "shut down");
    }
    platform::RequestResult reboot(bool force) override { return Noted(inner_.reboot(force), "restart"); }
    platform::RequestResult logOffPolitely() override { return Noted(inner_.logOffPolitely(), "log off"); }
    platform::RequestResult terminateSession() override {
        return Noted(inner_.terminateSession(), "log off");
    }
    platform::RequestResult suspend() override { return Noted(inner_.suspend(), "stand by"); }
    platform::RequestResult hibernate() override { return Noted(inner_.hibernate(), "hibernate"); }
    platform::RequestResult lockSession() override { return Noted(inner_.lockSession(), "lock the session"); }
    platform::RequestResult turnMonitorOff() override {
        return Noted(inner_.turnMonitorOff(), "turn the monitor off");
    }

  private:
    platform::RequestResult Noted(platform::RequestResult result, const std::string& what);
    platform::SessionPower& inner_;
    StartOutcomes& outcomes_;
};

} // namespace orvanta::ctl
