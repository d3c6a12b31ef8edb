#pragma once

#include "platform/api/running_program.h"

namespace orvanta::platform::windows_backend {

// Windows has no session bus for the program to be reached on: the command line finds no running program
// and works on the files, as it does on Linux when the program is not running.
class WindowsRunningProgram final : public RunningProgram {
  public:
    bool reachCopyOf(const std::string&) override { return false; }
    Reply rebuild(bool&) override { return Absent(); }
    Reply listScheduled(std::vector<std::vector<std::string>>&, std::vector<Problem>&) override {
        return Absent();
    }
    Reply nextTask(std::string&, std::vector<Problem>&) override { return Absent(); }
    Reply runTask(const std::string&, std::vector<std::string>&) override { return Absent(); }
    Reply showWindow() override { return Absent(); }
    Reply newTask() override { return Absent(); }

  private:
    static Reply Absent() { return {Reply::Kind::kAbsent, "no running program is reachable on this system"}; }
};

} // namespace orvanta::platform::windows_backend
